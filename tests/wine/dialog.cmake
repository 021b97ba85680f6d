# The settings dialog and its buttons in the real Lumivane.scr /c, driven with real input.
lumivane_wine_test(dialog_tests dialog/dialog_test.cpp)
target_link_libraries(dialog_tests PRIVATE gdi32 user32)
