# --help and -h of each program (tests/usage_test.sh), with the environment
# settings its usage must name.
set(ZV_USAGE_ENV_prynol ZVPATH)
set(ZV_USAGE_ENV_kelvor ZVLIB MAXHITS ZVPATH)
foreach(prog prynol kelvor)
  if(TARGET ${prog})
    add_test(NAME ${prog}/usage
             COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/usage_test.sh ${CMAKE_SOURCE_DIR} ${prog}
                     $<TARGET_FILE:${prog}> ${ZV_USAGE_ENV_${prog}})
  endif()
endforeach()
