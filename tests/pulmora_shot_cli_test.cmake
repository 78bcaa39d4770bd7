# The screenshot tool opens a simulation file as the user would: a teaching case gives a picture
# of the whole window; a file that cannot be opened gives status 2 and no picture.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

execute_process(COMMAND "${SHOT}" "${WORK}/copd.png" --width 1024 --height 768 --open copd.spi
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT EXISTS "${WORK}/copd.png")
  message(FATAL_ERROR "opening copd.spi failed (${rc}): ${err}")
endif()
if(err MATCHES "message:")
  message(FATAL_ERROR "a message was shown: ${err}")
endif()

execute_process(COMMAND "${SHOT}" "${WORK}/none.png" --open "${WORK}/none.spi"
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 2 OR EXISTS "${WORK}/none.png")
  message(FATAL_ERROR "a missing file gave status ${rc}: ${err}")
endif()
if(NOT err MATCHES "none.spi\" cannot be opened")
  message(FATAL_ERROR "the message does not name the file: ${err}")
endif()
