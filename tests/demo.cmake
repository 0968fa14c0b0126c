# make demo as a test: the whole pipeline (scripts/demo.sh) on the bundled data
# runs every step, and every EPS it draws passes check-eps, so that a change
# to any program that breaks the demo fails here first.
if(TARGET prynol AND TARGET kelvor AND TARGET martuk AND TARGET zev)
  add_test(NAME demo/pipeline COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/demo.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(demo/pipeline PROPERTIES
    PASS_REGULAR_EXPRESSION "rmsd\\.png.*topo\\.png"
    FAIL_REGULAR_EXPRESSION "not part of this build|no macro to re-rank|not found")
endif()
