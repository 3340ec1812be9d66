# The held link from the command line and fast scan from the "Options" menu: every board of three
# in each tick, its frames joined in one string per transaction.
include(${DATA}/common.inc)
write_script(s.txt
  "select Combo1 2"
  "click Command0 1"
  "click Command1 5"
  "menu Fast scan"
  "print FastScan"
  "print HeldLink"
  "click Command1 10"
  "tick 2")
run_program(status out err --headless --device sim:boards=3 --link held --trace t.txt --script s.txt)
expect_equal("exit status" "${status}" "0")
expect_contains("stdout" "${out}" "FastScan = True")
expect_contains("stdout" "${out}" "HeldLink = True")
file(READ ${WORK}/t.txt trace)
expect_contains("trace" "${trace}"
  "> MSxT80T49T04TDCRRRRRRRRRRRRRRRRRRRXMSxT81T4ET04TDCRRRRRRRRRRRRRRRRRRRXMSxT82T47T04TDCRRRRRRRRRRRRRRRRRRRXMSxS30S50X\n")
expect_contains("trace" "${trace}" "> MSxT80T49T0ETEARRRRRRXMSxT80T49T0CTE4RRRRXMSxT81")
string(REGEX MATCHALL "\n> MSxS10SB0X\n" starts "${trace}")
list(LENGTH starts n)
expect_equal("cell conversion starts, one per tick" "${n}" "2")
