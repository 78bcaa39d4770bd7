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

# A sweep: its CSV in input order with the first point equal to the standard run above, the
# same point from a sweep file equal to the grid's, and nothing left behind but the CSV.
string(REGEX MATCH "^[^\n]*" first_run "${out}")
execute_process(COMMAND "${SIM}" --sweep 0,4,100:400:2 --jobs 2 --sweep-out "${WORK}/sweep.csv"
                RESULT_VARIABLE rc OUTPUT_VARIABLE sweep_out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT sweep_out STREQUAL "" OR EXISTS "${WORK}/sweep.csv.part")
  message(FATAL_ERROR "sweep failed (${rc}) or left output elsewhere: ${err}${sweep_out}")
endif()
if(NOT err MATCHES "pulmora-sim: 1/2 points \\(50 %\\)" OR NOT err MATCHES "2/2 points \\(100 %\\)")
  message(FATAL_ERROR "sweep progress missing: ${err}")
endif()
file(STRINGS "${WORK}/sweep.csv" grid)
list(LENGTH grid rows)
list(GET grid 0 header)
set(index_columns "fev1_l,fvcex_l,fev1_fvc_pct,pef_l_s,mef75_l_s,mef50_l_s,mef25_l_s,erv_l,fet_s,frc_l,tlc_l,flow_volume_samples,volume_time_samples")
if(NOT rows EQUAL 3 OR NOT header STREQUAL "point,part0_col4_pct,status,${index_columns}")
  message(FATAL_ERROR "unexpected sweep CSV: ${grid}")
endif()
list(GET grid 1 row)
string(REPLACE "," ";" fields "${row}")
list(LENGTH fields n)
list(SUBLIST fields 0 3 inputs)
if(NOT n EQUAL 16 OR NOT inputs STREQUAL "1;100;1")
  message(FATAL_ERROR "first sweep point is not the standard run: ${row}")
endif()
set(k 3)
foreach(key fev1 fvc fev1PercentFvc pef mef75 mef50 mef25 erv fet frc tlc flowVolumeSamples
            volumeTimeSamples)
  list(GET fields ${k} value)
  string(FIND "${first_run}" "\"${key}\":${value}," at)
  if(at EQUAL -1)
    message(FATAL_ERROR "sweep ${key} ${value} differs from the single run: ${first_run}")
  endif()
  math(EXPR k "${k} + 1")
endforeach()

file(WRITE "${WORK}/points.txt" "# R(per) at 400 %\n--set 0,4,400\n")
execute_process(COMMAND "${SIM}" --sweep-file "${WORK}/points.txt"
                RESULT_VARIABLE rc OUTPUT_VARIABLE listed ERROR_VARIABLE err)
string(REGEX MATCHALL "[^\n]+" listed_rows "${listed}")
list(LENGTH listed_rows n)
if(NOT rc EQUAL 0 OR NOT n EQUAL 2)
  message(FATAL_ERROR "sweep file failed (${rc}): ${err}${listed}")
endif()
list(GET listed_rows 0 listed_header)
list(GET listed_rows 1 listed_row)
list(GET grid 2 grid_row)
string(REGEX REPLACE "^2," "" grid_rest "${grid_row}")
if(NOT listed_header STREQUAL "point,line,part0_col4_pct,status,${index_columns}"
   OR NOT listed_row STREQUAL "1,2,${grid_rest}")
  message(FATAL_ERROR "sweep file point differs from the grid's:\n${listed}${grid_row}")
endif()

# Bad sweeps (the words of a case are separated by "|", as ";" would make each word a case of
# its own): one line, status 2, no CSV (nor its partial file) and nothing on stdout.
file(WRITE "${WORK}/bad-line.txt" "--set 0,4,200\n--set 0,9,100\n")
set(bad_sweeps
  "--sweep|6,4,100:400:3"
  "--sweep|0,4,100:400"
  "--sweep|0,4,100:400:1"
  "--sweep|0,4,100:400:1001"
  "--sweep|0,4,0:400:3:log"
  "--sweep|0,4,100:400:3:lin"
  "--sweep|0,4,100:400:2|--sweep|0,2,100:400:2|--sweep|0,5,50:250:2"
  "--sweep|0,4,100:400:2|--runs|2"
  "--sweep|0,4,100:400:2|--json"
  "--sweep|0,4,100:400:2|--jobs|0"
  "--jobs|2"
  "--sweep-file|${WORK}/no-such-points.txt"
  "--sweep-file|${WORK}/bad-line.txt"
  "--sweep|0,4,100:400:2|--sweep-out|${WORK}/no/such/dir/s.csv"
)
foreach(case IN LISTS bad_sweeps)
  string(REPLACE "|" " " shown "${case}")
  string(REPLACE "|" ";" case "${case}")
  execute_process(COMMAND "${SIM}" --sweep-out "${WORK}/never-sweep.csv" ${case}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(REGEX MATCHALL "\n" errlines "${err}")
  list(LENGTH errlines n)
  if(NOT rc EQUAL 2 OR NOT n EQUAL 1 OR NOT err MATCHES "^pulmora-sim: ")
    message(FATAL_ERROR "'${shown}' gave status ${rc} and: ${err}")
  endif()
  if(EXISTS "${WORK}/never-sweep.csv" OR EXISTS "${WORK}/never-sweep.csv.part"
     OR NOT out STREQUAL "")
    message(FATAL_ERROR "'${shown}' wrote output although its sweep was bad")
  endif()
  string(APPEND sweep_errors "${err}")
endforeach()
foreach(expected "bad-line.txt\" line 2: --set: column \"9\" is not one of 0 ... 7"
                 "no-such-points.txt\" cannot be read" "no/such/dir/s.csv\" cannot be written")
  string(FIND "${sweep_errors}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "no message '${expected}' in: ${sweep_errors}")
  endif()
endforeach()

set(bad_cases
  "--frobnicate"
  "--set|6,0,100"
  "--set|0,8,100"
  "--set|0,0,lots"
  "--set|0,0"
  "--option|21,100"
  "--ref-option|0,100"
  "--variable|7"
  "--lung-part|-3"
  "--runs|0"
  "--runs"
  "--save|${WORK}/no/such/dir/x.spi"
)
foreach(case IN LISTS bad_cases)
  string(REPLACE "|" " " shown "${case}")
  string(REPLACE "|" ";" case "${case}")
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
