# The renderer's OpenGL set-up, frames and sprite pass in a test program built from the same sources,
# and the real renderer on the session's screen (frame count, screenshot, close on a key).
set(renderer_gl_sources ${CMAKE_SOURCE_DIR}/renderer/frame/gl_scene.cpp ${CMAKE_SOURCE_DIR}/renderer/scene/sprite_pass.cpp)
lumivane_wine_test(renderer_gl_tests renderer_gl/gl_scene_test.cpp ${renderer_gl_sources})
target_link_libraries(renderer_gl_tests PRIVATE renderer_rules opengl32 glu32 winmm gdi32)

add_test(NAME renderer_gl_live
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/renderer_gl/live_run.sh ${LUMIVANE_DIST_DIR} ${CMAKE_BINARY_DIR}/renderer_gl_live 20)
set_tests_properties(renderer_gl_live PROPERTIES RUN_SERIAL TRUE TIMEOUT 120)

# Frame-rate bench of the same frame code (not a test; docs/performance-wine.md runs it).
add_executable(renderer_gl_bench renderer_gl/gl_bench.cpp ${renderer_gl_sources})
target_include_directories(renderer_gl_bench PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(renderer_gl_bench PRIVATE renderer_rules opengl32 glu32 winmm gdi32)
