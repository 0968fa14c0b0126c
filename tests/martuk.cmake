# martuk's benchmark works on the program's own sources: link it with the
# program's library (the benchmark is added after this file, so it is linked
# at the end of the configuration).
if(TARGET martuk_core)
  function(martuk_link_benchmarks)
    if(TARGET martuk_bench)
      target_link_libraries(martuk_bench PRIVATE martuk_core)
    endif()
  endfunction()
  cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL martuk_link_benchmarks)
endif()

# Whole-program checks on inputs too large for golden files.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
if(TARGET martuk)
  foreach(check long_line size_limit kelvor_macros)
    add_test(NAME martuk/${check}
             COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/martuk_checks.py
                     $<TARGET_FILE:martuk> ${check})
  endforeach()
endif()

# martuk against a direct model of its reading, ordering and writing rules,
# on random macros.
if(TARGET martuk)
  add_test(NAME martuk/model
           COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/martuk_model.py
                   $<TARGET_FILE:martuk> 500)
endif()
