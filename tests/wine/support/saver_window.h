// The renderer's record on a saver window of its own code, opened once for the whole test program
// (closing a window that had an OpenGL context takes Wine seconds): its drawing, frame tick and loop
// are tested on it.
#pragma once

#include <windows.h>

#include "renderer/frame/renderer.h"

namespace wintest {

// The record whose scene runs on the saver window.
Renderer& saverRenderer();
// The saver window, covering the session's screen.
HWND saverWindow();

}  // namespace wintest
