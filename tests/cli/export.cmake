# "Excel Out Test" from a headless script: the workbook lands in --export-dir, the desktop's
# "open" is printed, not run; a folder that cannot take it gives a message box.
include(${DATA}/common.inc)
set(name "01-05-2026_08_00_00 AM_EXCELoutTEST.xls")
write_script(s.txt "menu Excel Out Test" "print LastBoardIndex" "print DlogSetupStamp")
file(MAKE_DIRECTORY ${WORK}/out)

run_program(status out err --headless --simulate --export-dir ${WORK}/out --script s.txt)
expect_equal("exit status" "${status}" "0")
expect_equal("stdout" "${out}" "OPEN ${WORK}/out/${name}\nLastBoardIndex = 9\nDlogSetupStamp = \n")
file(GLOB written RELATIVE ${WORK}/out ${WORK}/out/*)
expect_equal("written" "${written}" "${name}")

# A relative folder is named absolutely.
run_program(status out err --headless --simulate --export-dir out --script s.txt)
expect_equal("relative folder" "${out}" "OPEN ${WORK}/out/${name}\nLastBoardIndex = 9\nDlogSetupStamp = \n")

run_program(status out err --headless --simulate --export-dir=${WORK}/missing --script s.txt)
expect_equal("exit status" "${status}" "0")
expect_contains("stdout" "${out}"
  "MSGBOX KB4471: Could not save the workbook ${WORK}/missing/${name}: / No such file or directory\n")
string(FIND "${out}" "OPEN" opened)
expect_equal("opened" "${opened}" "-1")

run_program(status out err --help)
expect_contains("help" "${out}" "--export-dir DIR")
# Headless runs neither read nor write the user's settings.
if(EXISTS $ENV{XDG_CONFIG_HOME}/kb4471)
  message(FATAL_ERROR "a headless run wrote settings in $ENV{XDG_CONFIG_HOME}/kb4471")
endif()
