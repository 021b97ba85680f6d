# Entry, window procedures, password check and resources of the renderer.
target_sources(lumivane_renderer PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/password.cpp
  ${CMAKE_CURRENT_LIST_DIR}/renderer.rc)
target_link_libraries(lumivane_renderer PRIVATE user32 gdi32)
# windres does not report the files it embeds: rebuild when the icon or manifest changes.
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/renderer.rc TARGET_DIRECTORY lumivane_renderer PROPERTIES OBJECT_DEPENDS
  "${CMAKE_SOURCE_DIR}/assets/renderer.ico;${CMAKE_CURRENT_LIST_DIR}/renderer.manifest")
