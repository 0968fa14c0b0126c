# The superposition tests compare against an independent SVD fit (Eigen3, a
# test-only dependency).
if(TARGET num_lsq_test)
  find_package(Eigen3 3.3 REQUIRED NO_MODULE)
  target_link_libraries(num_lsq_test PRIVATE Eigen3::Eigen)
endif()
