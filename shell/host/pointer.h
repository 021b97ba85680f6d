// Hiding and showing the mouse pointer for a run started with /s.
#pragma once

// ShowCursor(FALSE) or ShowCursor(TRUE); tests can watch the count through the pointer log
// (renderer/win32/test_hooks.h).
void setPointerShown(bool shown);
