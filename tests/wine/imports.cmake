# Both widths of both programs import Windows system DLLs only.
add_test(NAME import_tables
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-imports ${CMAKE_SOURCE_DIR}/dist/win64 ${CMAKE_SOURCE_DIR}/dist/win32)
