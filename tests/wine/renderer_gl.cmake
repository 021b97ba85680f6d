# The renderer's OpenGL set-up, frames and sprite pass: a test program built from the same sources,
# and the real renderer run on the session's screen (frame count, close on a key, screenshot).
lumivane_wine_test(renderer_gl_tests
  renderer_gl/gl_scene_test.cpp
  ${CMAKE_SOURCE_DIR}/renderer/frame/gl_scene.cpp
  ${CMAKE_SOURCE_DIR}/renderer/scene/sprite_pass.cpp)
target_link_libraries(renderer_gl_tests PRIVATE renderer_rules opengl32 glu32 winmm gdi32)

add_test(NAME renderer_gl_live
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/renderer_gl/live_run.sh ${LUMIVANE_DIST_DIR} ${CMAKE_BINARY_DIR}/renderer_gl_live 20)
set_tests_properties(renderer_gl_live PROPERTIES RUN_SERIAL TRUE TIMEOUT 120)

# Frame-rate bench of the same frame code (not a test; docs/performance-wine.md runs it).
add_executable(renderer_gl_bench
  renderer_gl/gl_bench.cpp
  ${CMAKE_SOURCE_DIR}/renderer/frame/gl_scene.cpp
  ${CMAKE_SOURCE_DIR}/renderer/scene/sprite_pass.cpp)
target_include_directories(renderer_gl_bench PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(renderer_gl_bench PRIVATE renderer_rules opengl32 glu32 winmm gdi32)
