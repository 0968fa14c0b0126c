# kelvor's commands cut short by the end of the input end the run instead of
# asking again for ever (tests/end_of_input_test.sh); a hang fails at the
# timeout.
if(TARGET kelvor)
  add_test(NAME kelvor/end_of_input_commands
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/end_of_input_test.sh $<TARGET_FILE:kelvor>
                   ${CMAKE_CURRENT_SOURCE_DIR}/golden/kelvor/search_fi_names/in)
  set_tests_properties(kelvor/end_of_input_commands PROPERTIES TIMEOUT 240)
endif()
