// Hiding and showing the mouse pointer for a run started with /s.
#pragma once

// ShowCursor(FALSE) or ShowCursor(TRUE). When the environment variable LUMIVANE_POINTER_LOG names a file,
// the resulting display count is appended to it ("hide -1", "show 0") so tests can watch it from outside.
void setPointerShown(bool shown);
