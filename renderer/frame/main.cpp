// Entry of the renderer: one top-most saver window over every monitor and the idle-driven frame loop.
#include <windows.h>

#include "common/names.h"
#include "renderer/frame/renderer.h"
#include "renderer/frame/window.h"
#include "renderer/win32/test_hooks.h"

namespace {
// Exit code when the window class or the window cannot be made, OpenGL set-up included.
constexpr int StartFailedExitCode = 1;
}  // namespace

// Opens the saver window and draws a frame whenever the message queue is empty.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    Renderer renderer;  // the program's one record; the window reaches it through its creation parameter
    renderer.instance = instance;
    renderer.pacingEnabled = !pacingSwitchedOff();

    // Another renderer is still setting up: let it have the screen.
    HWND starting = FindWindowA(SaverClassName, SaverCreationTitle);
    if (starting && IsWindow(starting)) {
        SetForegroundWindow(starting);
        return 0;
    }

    layOutSaverWindow(renderer, commandLine);
    // The shell names the scene's settings; a renderer started alone plays the standard scene.
    renderer.run.scene.settings = sceneSettingsOf(commandLine);
    HWND window = createSaverWindow(renderer);
    if (!window) return StartFailedExitCode;
    SetForegroundWindow(window);
    return runMessageLoop(renderer);
}
