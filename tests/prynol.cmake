# Each of prynol's unit test binaries is also one test named after the
# program, so that `ctest -R prynol` runs them with the golden cases (the
# discovered test names begin with Prynol).
if(TARGET prynol_core)
  foreach(t prynol_varsto_test prynol_reader_test prynol_literal_test)
    if(TARGET ${t})
      add_test(NAME prynol/unit/${t} COMMAND ${t} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    endif()
  endforeach()
endif()

# The golden SSE files of prynol checked against an independent double-
# precision implementation of the assignment (varsto_check.py): the goldens
# of real entries are right, not merely unchanged.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(_prynol_golden ${CMAKE_CURRENT_SOURCE_DIR}/golden/prynol)
foreach(pair
    "defaults|${_prynol_golden}/defaults/in/user.pdb|user.sse"
    "pdb_quirks|${_prynol_golden}/pdb_quirks/in/quirks.pdb|quirks.sse"
    "duplicate_label|${_prynol_golden}/duplicate_label/in/user.pdb|user.sse"
    "far_coordinates|${_prynol_golden}/far_coordinates/in/user.pdb|user.sse"
    "real_1ubq_plain|${_prynol_golden}/real_1ubq_plain/in/1ubq.pdb|1ubq.sse"
    "real_1ppf_gz|${ZV_SHARED_DIR}/data/pdb/1ppf.pdb.gz|1ppf.sse"
    "real_1bus_gz|${ZV_SHARED_DIR}/data/pdb/1bus.pdb.gz|1bus.sse"
    "real_1g1j_gz|${ZV_SHARED_DIR}/data/pdb/1g1j.pdb.gz|1g1j.sse"
    "real_3ltq_gz|${ZV_SHARED_DIR}/data/pdb/3ltq.pdb.gz|3ltq.sse"
    "real_2ex3_gz|${ZV_SHARED_DIR}/data/pdb/2ex3.pdb.gz|2ex3.sse"
    "real_1bju_gz|${ZV_SHARED_DIR}/data/pdb/1bju.pdb.gz|1bju.sse"
    "real_1ifc_gz|${ZV_SHARED_DIR}/data/pdb/1ifc.pdb.gz|1ifc.sse")
  string(REPLACE "|" ";" parts "${pair}")
  list(GET parts 0 case)
  list(GET parts 1 pdb)
  list(GET parts 2 sse)
  add_test(NAME prynol/crosscheck/${case}
           COMMAND ${Python3_EXECUTABLE} ${_prynol_golden}/varsto_check.py
                   ${pdb} ${_prynol_golden}/${case}/expected/files/${sse})
endforeach()

# scripts/make-database.sh on a small folder, its library loaded by kelvor
# when kelvor is part of the build.
if(TARGET prynol)
  set(_prynol_kelvor "")
  if(TARGET kelvor)
    set(_prynol_kelvor $<TARGET_FILE:kelvor>)
  endif()
  add_test(NAME prynol/make_database
           COMMAND bash ${_prynol_golden}/make_database_test.sh $<TARGET_FILE:prynol>
                   "${_prynol_kelvor}" ${ZV_SHARED_DIR})
endif()
