# OpenGL set-up, frame tick and the sprite pass of the scene (tests/wine/renderer_gl.cmake builds the same two sources).
target_sources(lumivane_renderer PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/gl_scene.cpp
  ${CMAKE_SOURCE_DIR}/renderer/scene/sprite_pass.cpp)
target_link_libraries(lumivane_renderer PRIVATE opengl32 glu32 winmm gdi32)
