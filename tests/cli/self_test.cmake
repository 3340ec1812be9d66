# Self test over the simulated stack with one faulty cell: the test start, the hexadecimal read
# marking that cell red, then a single-cell selection carried by the next cell conversion start.
include(${DATA}/common.inc)
write_script(s.txt
  "click Command0 1"
  "click Command1 5"
  "wait 0.2"
  "click Command5 0"
  "wait 0.2"
  "click Command5 3"
  "print Text1 3 Text"
  "print Text1 3 BackColor"
  "print Text1 2 BackColor"
  "print CellSelfTestStarted"
  "print ActiveControl"
  "click Check6 9"
  "print ReadOnlyMode"
  "print Check6 0 Enabled"
  "click Command1 2")
run_program(status out err --headless --device sim:fault=selftest:1:4 --trace t.txt
            --script s.txt)
expect_equal("exit status" "${status}" "0")
expect_contains("stdout" "${out}" "Text1(3).Text = 0x554 ")
expect_contains("stdout" "${out}" "Text1(3).BackColor = 255")
expect_contains("stdout" "${out}" "Text1(2).BackColor = 16777215")
expect_contains("stdout" "${out}" "CellSelfTestStarted = False")
expect_contains("stdout" "${out}" "ActiveControl = Command5(0)")
expect_contains("stdout" "${out}" "ReadOnlyMode = 1")
expect_contains("stdout" "${out}" "Check6(0).Enabled = False")
file(STRINGS ${WORK}/t.txt sent REGEX "^> MSxS80S49S1")
expect_equal("conversion starts" "${sent}" "> MSxS80S49S1ES9AX;> MSxS80S49S1AS86X")
