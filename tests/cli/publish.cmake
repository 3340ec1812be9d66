# --publish: bad settings end the run before it starts, and a broker that is not there changes
# neither the output nor the trace.
include(${DATA}/common.inc)
write_script(s.txt "select Combo1 1" "click Command0 1" "click Command1 10" "tick 12"
             "print Text1 2 Text")
file(WRITE ${WORK}/pw "s3cret\n")

run_program(status out err --headless --simulate --script s.txt --publish mqtt://ops:s3cret@h/x)
expect_equal("password in the URL" "${status}" "2")
expect_contains("password in the URL" "${err}" "--publish-password-file")
string(FIND "${err}" "s3cret" at)
expect_equal("password shown" "${at}" "-1")
run_program(status out err --headless --simulate --script s.txt --publish mqtts://h/x)
expect_equal("TLS without CA" "${status}" "2")
expect_contains("TLS without CA" "${err}" "CA file")
run_program(status out err --headless --simulate --script s.txt --publish-ca ca.crt)
expect_equal("CA without --publish" "${status}" "2")
expect_contains("CA without --publish" "${err}" "--publish-ca needs --publish URL")
run_program(status out err --headless --simulate --script s.txt --publish mqtt://ops@h/x
            --publish-password-file ${WORK}/missing)
expect_equal("missing password file" "${status}" "2")
expect_contains("missing password file" "${err}" "cannot read the password file")

# Port 1 of 127.0.0.1: nobody answers; the client keeps retrying while the script runs.
run_program(status out err --headless --device sim:boards=2,seed=3 --trace a.txt --script s.txt)
expect_equal("without publishing" "${status}" "0")
run_program(status out2 err2 --headless --device sim:boards=2,seed=3 --trace b.txt --script s.txt
            --publish mqtt://ops@127.0.0.1:1/bench --publish-password-file ${WORK}/pw)
expect_equal("publishing" "${status}" "0")
expect_equal("output" "${out2}" "${out}")
expect_equal("standard error" "${err2}" "")
file(READ ${WORK}/a.txt a)
file(READ ${WORK}/b.txt b)
expect_equal("trace" "${b}" "${a}")
