# Platform-free frame rules: frame clock, frame driver, pixel-format scoring, glow image.
target_sources(renderer_rules PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/frame_clock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frame_driver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pixel_format.cpp
  ${CMAKE_CURRENT_LIST_DIR}/glow_image.cpp)
