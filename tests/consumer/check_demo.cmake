# Runs the example consumer's demo (DEMO) and compares everything it prints
# with the file EXPECTED. Used with -P, or included with DEMO and EXPECTED set.
execute_process(COMMAND "${DEMO}"
  RESULT_VARIABLE status
  OUTPUT_VARIABLE out
  ERROR_VARIABLE err)
file(READ "${EXPECTED}" expected)
if(NOT status EQUAL 0 OR NOT err STREQUAL "" OR NOT out STREQUAL expected)
  message(FATAL_ERROR "${DEMO} gave status ${status}\n"
    "standard output:\n${out}\nstandard error:\n${err}\n"
    "expected standard output:\n${expected}")
endif()
