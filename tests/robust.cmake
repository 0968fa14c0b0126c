# Input without end: prynol and kelvor keep their memory small on endless or
# huge input (a gzip of zeros, /dev/zero, a 100 MB answer line, a database
# naming /dev/zero in skip mode).
if(TARGET prynol AND TARGET kelvor)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  add_test(NAME robust/bounded_input
           COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/robust/bounded_input.py
                   $<TARGET_FILE:prynol> $<TARGET_FILE:kelvor>)
  set_tests_properties(robust/bounded_input PROPERTIES TIMEOUT 120)
endif()

# kelvor's EX and TO past a file-size limit: the failure is reported and the
# cut file removed.
if(TARGET kelvor)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  add_test(NAME robust/write_failures
           COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/robust/write_failures.py
                   $<TARGET_FILE:kelvor> ${CMAKE_CURRENT_SOURCE_DIR}/golden/kelvor/topology_barrel/in)
endif()

# zev's PostScript and VRML output past a file-size limit and on a full
# device: the failure is reported, the cut file removed, the device left.
if(TARGET zev)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  add_test(NAME robust/plot_write_failures
           COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/robust/plot_write_failures.py
                   $<TARGET_FILE:zev> ${CMAKE_CURRENT_SOURCE_DIR}/golden/zev/plot_2d/in/map.pl2)
endif()
