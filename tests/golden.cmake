# Golden transcript tests: every folder tests/golden/<program>/<case>/ becomes
# the test golden/<program>/<case> once the program's target exists.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
file(GLOB ZV_GOLDEN_PROGRAMS LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/golden/*)
foreach(progdir ${ZV_GOLDEN_PROGRAMS})
  if(NOT IS_DIRECTORY ${progdir})
    continue()
  endif()
  get_filename_component(prog ${progdir} NAME)
  if(NOT TARGET ${prog})
    continue()
  endif()
  file(GLOB cases LIST_DIRECTORIES true ${progdir}/*)
  foreach(casedir ${cases})
    if(IS_DIRECTORY ${casedir} AND EXISTS ${casedir}/expected)
      get_filename_component(case ${casedir} NAME)
      add_test(NAME golden/${prog}/${case}
               COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/golden/run_golden.py
                       --program $<TARGET_FILE:${prog}> --shared ${ZV_SHARED_DIR}
                       --scratch ${CMAKE_CURRENT_BINARY_DIR}/golden-scratch ${casedir})
    endif()
  endforeach()
endforeach()
