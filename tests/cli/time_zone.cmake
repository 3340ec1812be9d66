# The manual clock does not depend on the host's time zone: the same run, byte for byte.
include(${DATA}/common.inc)
write_script(s.txt "click Command1 6" "click Command1 0" "tick 30" "wait 86400" "click Command1 6"
  "print PecState 0" "print CurrentBoard")
foreach(zone UTC Australia/Sydney)
  string(MAKE_C_IDENTIFIER ${zone} tag)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=${zone}
      ${PROGRAM} --headless --device sim:seed=3 --trace ${tag}.txt --script s.txt
    WORKING_DIRECTORY ${WORK} RESULT_VARIABLE status OUTPUT_VARIABLE out_${tag} TIMEOUT 60)
  expect_equal("status under ${zone}" "${status}" "0")
  file(READ ${WORK}/${tag}.txt trace_${tag})
endforeach()
expect_equal("output" "${out_Australia_Sydney}" "${out_UTC}")
expect_equal("trace" "${trace_Australia_Sydney}" "${trace_UTC}")
