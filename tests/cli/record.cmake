# --record and --export-recording from the command line: the recording leaves the session's
# output and trace as they are, an existing file is never replaced, a full disk stops the
# recording and the program goes on.
include(${DATA}/common.inc)
write_script(s.txt "select Combo1 1" "click Command0 1" "click Command1 5" "click Command1 10"
  "tick 30" "print RecordingFile" "click Command1 10")
set(device --device sim:boards=2,seed=3,fault=pec:0.2)
run_program(status plain err --headless ${device} --trace plain.txt --script s.txt)
run_program(status out err --headless ${device} --trace t.txt --record s.db --script s.txt)
expect_equal("exit status" "${status}" "0")
string(REPLACE "RecordingFile = s.db" "RecordingFile = " out "${out}")
expect_equal("output beside the recording" "${out}" "${plain}")
file(READ ${WORK}/plain.txt a)
file(READ ${WORK}/t.txt b)
expect_equal("trace beside the recording" "${b}" "${a}")

run_program(status out err --headless ${device} --record s.db --script s.txt)
expect_equal("existing recording" "${status}|${err}" "2|kb4471: cannot record to 's.db': the file exists\n")

run_program(status out err --export-recording s.db --csv s.csv)
expect_equal("csv export" "${status}|${err}" "0|")
file(STRINGS ${WORK}/s.csv rows)
list(LENGTH rows n)
expect_equal("csv rows (a header and 10 cell reads)" "${n}" "11")
run_program(status out err --export-recording s.db --xlsx s.csv)
expect_equal("existing output" "${status}|${err}" "2|kb4471: 's.csv' exists; give a new name\n")
run_program(status out err --export-recording s.txt --xlsx s.xlsx)
expect_equal("not a recording" "${status}|${err}"
  "1|kb4471: cannot export 's.txt' to 's.xlsx': not a recording (not an SQLite database)\n")
run_program(status out err --export-recording s.db)
expect_equal("no output" "${status}|${err}"
  "2|kb4471: --export-recording needs one of --csv FILE or --xlsx FILE\n")
run_program(status out err --csv a.csv)
expect_equal("no recording" "${status}|${err}" "2|kb4471: --csv needs --export-recording FILE\n")
run_program(status out err --export-recording s.db --csv a.csv --simulate)
expect_equal("export and a session" "${status}|${err}"
  "2|kb4471: --export-recording takes only --csv FILE or --xlsx FILE\n")

# A file that cannot grow (a size limit stands in for a full disk): the recording stops with a
# message naming the file and the reason, the script runs on.
execute_process(COMMAND sh -c "trap '' XFSZ; ulimit -f 150; exec \"$0\" \"$@\"" ${PROGRAM}
    --headless --simulate=2 --record full.db --script s.txt
  WORKING_DIRECTORY ${WORK} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err
  TIMEOUT 120)
expect_equal("exit status when the disk is full" "${status}" "0")
expect_contains("message" "${out}"
  "MSGBOX KB4471: Recording stopped: the file full.db could not be written. / ")
expect_contains("the script went on" "${out}" "/ The program goes on without recording.\nRecordingFile = \n")
