# Input that used to be taken in silence: each run ends with one line naming the fault and
# status 2, and nothing it must not touch is touched.
include(${DATA}/common.inc)
write_script(s.txt "click Command1 6" "print PecState 0")
file(READ ${WORK}/s.txt script_before)
file(MAKE_DIRECTORY ${WORK}/folder)
file(CREATE_LINK s.txt ${WORK}/alias.txt SYMBOLIC)

function(expect_refused what needle)
  run_program(status out err ${ARGN})
  expect_equal("${what}: status" "${status}" "2")
  expect_contains("${what}: message" "${err}" "${needle}")
  string(REGEX MATCHALL "\n" breaks "${err}")
  list(LENGTH breaks lines)
  expect_equal("${what}: lines of stderr" "${lines}" "1")
endfunction()

expect_refused("directory as script" "script 'folder' is a directory"
  --headless --simulate --script folder)
expect_refused("trace is the script" "is the script file"
  --headless --simulate --trace ./s.txt --script s.txt)
expect_refused("trace is the script by a link" "is the script file"
  --headless --simulate --trace alias.txt --script s.txt)
file(READ ${WORK}/s.txt script_after)
expect_equal("script left intact" "${script_after}" "${script_before}")
expect_refused("trace on a full disk" "cannot write trace file '/dev/full'"
  --headless --simulate --trace /dev/full --script s.txt)
expect_refused("empty trace name" "--trace needs a value" --headless --simulate --trace= --script s.txt)
expect_refused("two devices" "--simulate and --device" --headless --simulate --device sim --script s.txt)
expect_refused("options slipped into --simulate" "must be 1 to 10"
  --headless --simulate=3,fault=unplugged --script s.txt)
expect_refused("headless screenshot" "exclude each other"
  --headless --screenshot shots --script s.txt)
expect_refused("script alone" "--script needs --headless or --screenshot" --script s.txt)

# print output on a full disk.
execute_process(COMMAND ${PROGRAM} --headless --simulate --script s.txt
  WORKING_DIRECTORY ${WORK} OUTPUT_FILE /dev/full ERROR_VARIABLE err RESULT_VARIABLE status
  TIMEOUT 60)
expect_equal("output on a full disk: status" "${status}" "2")
expect_contains("output on a full disk: message" "${err}" "cannot write the output")

# A script saved on another system reads the same.
execute_process(COMMAND printf "\\357\\273\\277click Command1 6\\r\\nprint PecState 0\\r\\n"
  OUTPUT_FILE ${WORK}/crlf.txt)
file(SIZE ${WORK}/crlf.txt size)
expect_equal("size of the byte order mark script" "${size}" "39")
run_program(status crlf_out err --headless --simulate --script crlf.txt)
run_program(status plain_out err --headless --simulate --script s.txt)
expect_equal("byte order mark and CR LF" "${crlf_out}" "${plain_out}")
