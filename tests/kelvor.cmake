# kelvor's benchmarks work on the program's own sources: link them with the
# program's library. They come from bench/, which is added after this file,
# so they are linked at the end of the configuration.
if(TARGET kelvor_core)
  function(kelvor_link_benchmarks)
    foreach(b kelvor_load_bench kelvor_search_bench)
      if(TARGET ${b})
        target_link_libraries(${b} PRIVATE kelvor_core)
      endif()
    endforeach()
  endfunction()
  cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL kelvor_link_benchmarks)
endif()

# Too little memory for the database tables: a fatal message, not an abort.
if(TARGET kelvor)
  add_test(NAME kelvor/low_memory
           COMMAND sh -c "ulimit -v 60000 && printf '\\n' | \"$1\" -B" sh $<TARGET_FILE:kelvor>)
  set_tests_properties(kelvor/low_memory PROPERTIES
    PASS_REGULAR_EXPRESSION "FATAL ERROR --- Not enough memory for the database tables - execution aborted !")
endif()
