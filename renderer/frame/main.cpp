// Entry of the renderer: one top-most saver window over every monitor and the idle-driven frame loop.
#include <windows.h>

#include "common/names.h"
#include "renderer/frame/renderer.h"
#include "renderer/frame/shell_link.h"
#include "renderer/frame/window.h"
#include "renderer/win32/test_hooks.h"

namespace {
// Exit code when the window class or the window cannot be made, OpenGL set-up included.
constexpr int StartFailedExitCode = 1;

// The shell's process as its handle on the command line names it: null for a renderer started
// alone, and for a number that is no handle of ours (started by hand), which leaves it alone too.
// False when the shell has already ended.
bool findShell(Renderer& renderer, const char* commandLine) {
    const HANDLE shell = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(shellProcessHandleOf(commandLine)));
    if (shell == nullptr) return true;
    const DWORD state = WaitForSingleObject(shell, 0);
    if (state == WAIT_TIMEOUT) renderer.shellProcess = shell;
    return state != WAIT_OBJECT_0;
}
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

    if (!findShell(renderer, commandLine)) return 0;
    layOutSaverWindow(renderer, commandLine);
    // The shell names the scene's settings; a renderer started alone plays the standard scene.
    renderer.run.scenes[0].settings = sceneSettingsOf(commandLine);
    renderer.frameRate = frameRateRuleOf(commandLine);
    if (batteryPretended()) renderer.onBattery = [] { return true; };
    HWND window = createSaverWindow(renderer);
    if (!window) return StartFailedExitCode;
    renderer.window = window;
    SetForegroundWindow(window);
    return runMessageLoop(renderer);
}
