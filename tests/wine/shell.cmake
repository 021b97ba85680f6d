# Shell: the settings file through the real profile functions, and Lumivane.scr run end to end.
lumivane_wine_test(shell_settings_file_wine shell/settings_file_test.cpp ${CMAKE_SOURCE_DIR}/shell/startup/settings_file.cpp)
target_link_libraries(shell_settings_file_wine PRIVATE shell_rules)

# A stand-in renderer whose start and window the tests control.
add_executable(shell_fake_renderer WIN32 shell/fake_renderer.cpp)

lumivane_wine_test(shell_run_wine shell/run_test.cpp)
target_link_libraries(shell_run_wine PRIVATE shell_rules)
add_dependencies(shell_run_wine shell_fake_renderer)
target_compile_definitions(shell_run_wine PRIVATE LUMIVANE_FAKE_RENDERER_UNIX="$<TARGET_FILE:shell_fake_renderer>")
