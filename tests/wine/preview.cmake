lumivane_wine_test(preview_tests ${CMAKE_CURRENT_LIST_DIR}/preview/preview_test.cpp)
lumivane_wine_test(preview_paint_tests ${CMAKE_CURRENT_LIST_DIR}/preview/preview_paint_test.cpp
  ${CMAKE_SOURCE_DIR}/shell/host/preview_window.cpp ${CMAKE_SOURCE_DIR}/shell/host/preview.rc)
target_link_libraries(preview_paint_tests PRIVATE shell_rules gdi32)
set_source_files_properties(${CMAKE_SOURCE_DIR}/shell/host/preview.rc
  PROPERTIES OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/assets/preview.bmp)
