# OpenGL set-up, frame tick and the sprite pass of the scene.
target_sources(lumivane_renderer PRIVATE ${CMAKE_CURRENT_LIST_DIR}/gl_scene.cpp)
target_link_libraries(lumivane_renderer PRIVATE opengl32 glu32 winmm gdi32)
