# Compresses a file for the package: gzip -9n, without the name and time stamp, so that the same
# input always gives the same bytes.
# Usage: cmake -DIN=<file> -DOUT=<file.gz> -P gzip_file.cmake
execute_process(COMMAND gzip -9n -c "${IN}" OUTPUT_FILE "${OUT}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "gzip ${IN} failed (${rc})")
endif()
