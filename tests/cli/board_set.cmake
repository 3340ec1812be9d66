# Two boards on the simulated stack: the board-count change reads both, LOW CURRENT STBY writes
# the defaults by broadcast, reads every board back and forces the SPI lines high.
include(${DATA}/common.inc)
write_script(s.txt
  "select Combo1 1"
  "print Label12 Caption"
  "print Command4 1 Caption"
  "click Command1 14"
  "print LowCurrentStandby")
run_program(status out err --headless --simulate=2 --trace t.txt --script s.txt)
expect_equal("exit status" "${status}" "0")
expect_contains("stdout" "${out}" "Label12.Caption = BOARD#   1      2")
expect_contains("stdout" "${out}" "Command4(1).Caption = BRD# 2    0x81")
expect_contains("stdout" "${out}" "LowCurrentStandby = 1")
file(STRINGS ${WORK}/t.txt sent REGEX "^> ")
list(SUBLIST sent 4 8 after_start)
expect_equal("sent" "${after_start}"
  "> MSXxT80T49T02TCERRRRRRRX;> MSXxT81T4ET02TCERRRRRRRX;> MSXxT80T49T02TCERRRRRRRX;> MSXxT01SC7SE0S00S00S00S00S00SFEX;> MSXxT80T49T02TCERRRRRRRX;> MSXxT81T4ET02TCERRRRRRRX;> MSXxT80T49T02TCERRRRRRRX;> MI")
