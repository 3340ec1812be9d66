# Start-up on the simulated stack: identity query, the READ CONFIG frames of the board-count change
# and of start-up, and "MSX" once after a poll.
include(${DATA}/common.inc)
write_script(s.txt
  "# a poll leaves chip select low"
  "click Command1 0"
  "click Command1 6"
  "click Command1 6"
  "print Label_ID Caption"
  "print Command1 6 Caption"
  "print CurrentBoard")
run_program(status out err --headless --simulate --trace t.txt --script s.txt)
expect_equal("exit status" "${status}" "0")
expect_contains("stdout" "${out}" "Label_ID.Caption = QXM7140-2")
expect_contains("stdout" "${out}" "Command1(6).Caption = READ CONFIG")
expect_contains("stdout" "${out}" "CurrentBoard = 0")
file(STRINGS ${WORK}/t.txt sent REGEX "^> ")
expect_equal("sent" "${sent}"
  "> IZ;> MSXxT80T49T02TCERRRRRRRX;> MSXxT80T49T02TCERRRRRRRX;> MSXxT80T49T02TCERRRRRRRX;> MSxS80S49S40S07;> MSX;> MSXxT80T49T02TCERRRRRRRX;> MSXxT80T49T02TCERRRRRRRX")
file(STRINGS ${WORK}/t.txt received REGEX "^< ")
list(GET received 0 identity)
expect_contains("identity answer" "${identity}" "< QXM7140-2")
