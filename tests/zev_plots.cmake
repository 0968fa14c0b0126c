# Every EPS file that zev writes for the golden plot cases must be a page that
# Ghostscript reads without a problem.
if(TARGET zev)
  add_test(NAME zev/plot_eps_valid
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/golden/zev/check_plot_eps.sh
                   $<TARGET_FILE:zev> ${ZV_SHARED_DIR} ${CMAKE_CURRENT_BINARY_DIR}/zev-plot-eps)
endif()
