# The frame test driver: a small command loop over the frame, dialogue and
# message routines, run by the golden transcripts in tests/golden/zvdriver/.
add_executable(zvdriver ${CMAKE_CURRENT_SOURCE_DIR}/driver/zvdriver.cpp)
target_link_libraries(zvdriver PRIVATE zv_core)
