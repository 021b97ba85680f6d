// Pointer display count changes of the shell.
#include "shell/host/pointer.h"

#include <windows.h>

#include "renderer/win32/test_hooks.h"

// Changes the display count, and traces it for the tests that ask.
void setPointerShown(bool shown) {
    const int count = ShowCursor(shown ? TRUE : FALSE);
    tracePointerCount(shown, count);
}
