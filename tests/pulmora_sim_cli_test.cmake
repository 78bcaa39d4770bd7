# The headless tool as a user runs it: good runs, outputs, and bad input refused with status 2
# and nothing written.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

execute_process(COMMAND "${SIM}" --json --runs 2 --save "${WORK}/h.spi" --csv "${WORK}/c.csv"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "standard run failed (${rc}): ${err}")
endif()
string(REGEX MATCHALL "\n" lines "${out}")
list(LENGTH lines count)
if(NOT count EQUAL 2)
  message(FATAL_ERROR "expected one JSON line per run, got: ${out}")
endif()
foreach(key run status fev1 fvc fev1PercentFvc pef mef75 mef50 mef25 erv fet frc tlc
            flowVolumeSamples volumeTimeSamples seconds)
  if(NOT out MATCHES "\"${key}\":")
    message(FATAL_ERROR "key ${key} missing in: ${out}")
  endif()
endforeach()
if(NOT out MATCHES "\"run\":2,\"status\":1,")
  message(FATAL_ERROR "second run did not complete: ${out}")
endif()
file(SIZE "${WORK}/h.spi" size)
if(NOT size EQUAL 621360)
  message(FATAL_ERROR "simulation file has ${size} bytes")
endif()
file(STRINGS "${WORK}/c.csv" csv)
list(GET csv 0 header)
list(LENGTH csv rows)
if(NOT header STREQUAL "sample,loop_volume_l,loop_flow,vt_time_s,vt_volume_l" OR NOT rows EQUAL 631)
  message(FATAL_ERROR "unexpected CSV: ${header}, ${rows} lines")
endif()

set(bad_cases
  "--frobnicate"
  "--set;6,0,100"
  "--set;0,8,100"
  "--set;0,0,lots"
  "--set;0,0"
  "--option;21,100"
  "--ref-option;0,100"
  "--variable;7"
  "--lung-part;-3"
  "--runs;0"
  "--runs"
  "--save;${WORK}/no/such/dir/x.spi"
)
foreach(case IN LISTS bad_cases)
  string(REPLACE ";" " " shown "${case}")
  execute_process(COMMAND "${SIM}" ${case} --csv "${WORK}/never.csv"
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 2)
    message(FATAL_ERROR "'${shown}' gave status ${rc}, expected 2")
  endif()
  string(REGEX MATCHALL "\n" errlines "${err}")
  list(LENGTH errlines n)
  if(NOT n EQUAL 1 OR NOT err MATCHES "^pulmora-sim: ")
    message(FATAL_ERROR "'${shown}' should give one error line, gave: ${err}")
  endif()
  if(EXISTS "${WORK}/never.csv" OR NOT out STREQUAL "")
    message(FATAL_ERROR "'${shown}' wrote output although its input was bad")
  endif()
endforeach()
message(STATUS "pulmora-sim command line: all cases passed")
