# Background music of real saver runs, with Wine's sound output captured to a file.
# The driver is a Linux script: it starts the Windows programs through scripts/wine-run itself.
add_test(NAME music_capture
  COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/music/music_capture.py
    --dist ${LUMIVANE_DIST_DIR}
    --work ${CMAKE_CURRENT_BINARY_DIR}/music_runs
    --prefix ${CMAKE_BINARY_DIR}/wineprefix
    --root ${CMAKE_SOURCE_DIR})
set_tests_properties(music_capture PROPERTIES RUN_SERIAL TRUE TIMEOUT 300)
