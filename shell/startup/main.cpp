// Startup routine of Lumivane.scr: single-instance test, command-line dispatch, renderer check.
#include <windows.h>

#include <string>

#include "common/names.h"
#include "shell/dialog/settings_dialog.h"
#include "shell/host/pointer.h"
#include "shell/host/preview_window.h"
#include "shell/host/run_host.h"
#include "shell/settings/settings_file.h"
#include "shell/startup/command_line.h"
#include "shell/texts/texts.h"

namespace {
// True while a saver runs or the settings dialog is open.
bool anotherInstanceShows() {
    return FindWindowW(nullptr, RunHostTitle) != nullptr || FindWindowW(nullptr, SettingsDialogTitle) != nullptr;
}
}  // namespace

// Decides the mode from the command line and hands over to the preview, the settings dialog or the run host.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (anotherInstanceShows()) return 0;

    const std::wstring arguments = argumentText(GetCommandLineW());
    const StartMode mode = startMode(arguments);
    if (mode == StartMode::Preview) {
        // Handles are 32-bit values sign-extended on 64-bit Windows.
        const HWND host = reinterpret_cast<HWND>(static_cast<LONG_PTR>(previewHandle(arguments)));
        runPreview(instance, host);
        return 0;
    }

    ShellSettings settings;
    loadSettings(settings);
    if (!fileExists(toAnsi(programFolderW() + L"\\" + RendererFileName))) {
        MessageBoxW(nullptr, shellText(instance, TEXT_RENDERER_MISSING).c_str(),
                    shellText(instance, TEXT_APPLICATION_TITLE).c_str(), MB_OK);
        return 0;
    }
    if (mode == StartMode::Settings) {
        showSettingsDialog(instance, settings);
        return 0;
    }
    if (mode == StartMode::End) return 0;

    if (mode == StartMode::RunHidePointer) setPointerShown(false);
    return runHost(instance, settings, modeLetter(arguments));
}
