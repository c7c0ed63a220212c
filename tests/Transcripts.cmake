# Transcript tests: every tests/**/*.t, run by cram on a copy in the build tree (cram leaves a
# .err file beside a transcript that failed), with the built programs and the test helpers on
# the PATH, each with a card service of its own (isolated.sh), so that they run side by side and
# beside the machine's. A transcript that skips itself (exit 80) is listed as skipped.
find_program(CRAM cram3 REQUIRED)
file(GLOB_RECURSE transcripts CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.t)
foreach(transcript ${transcripts})
  file(RELATIVE_PATH relative ${CMAKE_CURRENT_SOURCE_DIR} ${transcript})
  set(copy ${CMAKE_CURRENT_BINARY_DIR}/transcripts/${relative})
  configure_file(${transcript} ${copy} COPYONLY)
  string(REGEX REPLACE "\\.t$" "" name ${relative})
  add_test(NAME ${name} COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/support/isolated.sh ${CRAM}
           --shell=/bin/bash ${copy})
  set_tests_properties(${name} PROPERTIES
    SKIP_REGULAR_EXPRESSION "Ran 1 tests, 1 skipped"
    TIMEOUT 120
    ENVIRONMENT "TESTS=${CMAKE_CURRENT_SOURCE_DIR};SOURCE=${PROJECT_SOURCE_DIR};VERSION=${PROJECT_VERSION};PATH=$<TARGET_FILE_DIR:ostrivan-card>:$<TARGET_FILE_DIR:ostrivan>:$<TARGET_FILE_DIR:ostrivan_make_card>:${CMAKE_CURRENT_SOURCE_DIR}/support:$ENV{PATH}")
endforeach()
