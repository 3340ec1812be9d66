# A timed DEMO run on the simulated stack from a headless script: the monitors out of standby,
# DEMO, START, the 3-second run ends on time with every word none again.
include(${DATA}/common.inc)
write_script(s.txt
  "click Command0 1"
  "click Command1 5"
  "tab 1"
  "click Check_6"
  "click Command_2 2"
  "print CommandDataHi 0"
  "print CommandDataLo 0"
  "click Check_4"
  "tick 29"
  "print Check_4 Caption"
  "tick 1"
  "print Check_4 Caption"
  "print CommandDataLo 0"
  "print Label_2 4 Caption")
run_program(status out err --headless --simulate --trace t.txt --script s.txt)
expect_equal("exit status" "${status}" "0")
expect_contains("stdout" "${out}" "CommandDataHi 0 = BB\nCommandDataLo 0 = B3")
expect_contains("stdout" "${out}" "Check_4.Caption = PAUSE\nCheck_4.Caption = START")
expect_contains("stdout" "${out}" "CommandDataLo 0 = 0F")
expect_contains("stdout" "${out}" "Label_2(4).Caption = 0:00:00")
file(STRINGS ${WORK}/t.txt sent REGEX "^> xX")
list(GET sent 0 first)
expect_equal("first balancer write" "${first}" "> xXSA9SBBSB3SBBSB3xX")
