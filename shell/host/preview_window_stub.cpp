// Stand-in until the preview window lands.
#include "shell/host/preview_window.h"
void runPreview(HINSTANCE, HWND) {}
