# The sanitizer build (ZV_SANITIZE, the second build of `make test`) runs the
# whole suite; two tests there meet the sanitizer rather than the code:
#
# - Memall.BlocksAndRefusals asks for 2^62 bytes and expects a null pointer.
#   AddressSanitizer's allocator reports such a request as an error unless
#   allocator_may_return_null is set; with it, the refusal is tested as in the
#   normal build (the allocator's warning about the refusal goes to the
#   test's output, not to the report files of scripts/sanitize-test.sh).
# - kelvor/low_memory runs kelvor under `ulimit -v 60000`. AddressSanitizer
#   reserves terabytes of address space for its shadow memory at start-up, so
#   under that limit the process dies before main(); the test would test the
#   sanitizer, and only the normal build runs it.
#
# The unit tests are found in their binaries when ctest reads the tests, so
# the first is changed by a file that ctest includes after them; the second is
# changed once this folder's tests are all defined.
if(ZV_SANITIZE)
  set(_zv_sanitize_tests ${CMAKE_CURRENT_BINARY_DIR}/sanitize_tests.cmake)
  file(WRITE ${_zv_sanitize_tests} [=[
set_tests_properties(Memall.BlocksAndRefusals PROPERTIES
  ENVIRONMENT "ASAN_OPTIONS=$ENV{ASAN_OPTIONS}:allocator_may_return_null=1:log_path=stderr")
]=])
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${_zv_sanitize_tests})

  function(zv_sanitize_skip_tests)
    if(TEST kelvor/low_memory)
      set_tests_properties(kelvor/low_memory PROPERTIES DISABLED TRUE)
    endif()
  endfunction()
  cmake_language(DEFER CALL zv_sanitize_skip_tests)
endif()
