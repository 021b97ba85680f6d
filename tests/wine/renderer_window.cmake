# The real renderer's window, close rules and 9x password check, driven with real input.
set(renderer_window_support renderer_window/saver_session.cpp)

lumivane_wine_test(renderer_window_tests renderer_window/window_test.cpp ${renderer_window_support})

# The window checks again on a larger screen, in a session and prefix of their own.
set(second_prefix ${CMAKE_BINARY_DIR}/wineprefix-1280x1024)
add_test(NAME renderer_window_tests_1280x1024
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-session --screen 1280x1024x24 --prefix ${second_prefix}
          -- ${CMAKE_SOURCE_DIR}/scripts/wine-run --prefix ${second_prefix} $<TARGET_FILE:renderer_window_tests>
          --gtest_filter=SaverWindow.*:SaverClose.EachUserInput*)
set_tests_properties(renderer_window_tests_1280x1024 PROPERTIES RUN_SERIAL TRUE TIMEOUT 300)

# Stand-ins for the 9x family's PASSWORD.CPL: one that answers as told, one without the export.
foreach(cpl verify no_export)
  add_library(password_cpl_${cpl} SHARED password_cpl/stand_in_cpl.c)
  set_target_properties(password_cpl_${cpl} PROPERTIES PREFIX "" SUFFIX ".cpl")
  target_link_options(password_cpl_${cpl} PRIVATE -Wl,--kill-at)
endforeach()
target_compile_definitions(password_cpl_verify PRIVATE STAND_IN_VERIFIES)

lumivane_wine_test(renderer_password_tests renderer_window/password_test.cpp ${renderer_window_support})
add_dependencies(renderer_password_tests password_cpl_verify password_cpl_no_export)
target_compile_definitions(renderer_password_tests PRIVATE
  LUMIVANE_VERIFY_CPL="$<TARGET_FILE:password_cpl_verify>"
  LUMIVANE_NO_EXPORT_CPL="$<TARGET_FILE:password_cpl_no_export>")
