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
#include "shell/system/file_calls.h"
#include "shell/system/system_text.h"
#include "shell/system/window_calls.h"
#include "shell/texts/texts.h"

namespace {
// Held by a running saver or an open settings dialog for the life of its process; session-local,
// as the saver and the dialog are. The 9x family has one session, and a backslash is no part of a
// name there, so it takes the name without the prefix.
constexpr char SingleInstanceLockName[] = "Local\\Lumivane.Shell";
constexpr char NineXLockName[] = "Lumivane.Shell";
constexpr int RendererFailedExitCode = 1;

// True while a saver runs or the settings dialog is open.
bool anotherInstanceShows() {
    return findTopWindow(RunHostTitle) != nullptr || findTopWindow(SettingsDialogTitle) != nullptr;
}

// Creates the lock, or finds that another shell holds it; creating and finding are one step, so
// shells started together cannot both pass. The handle is never closed: the process holds it.
bool lockTakenByAnother() {
    const HANDLE lock = CreateMutexA(nullptr, FALSE, ansiCalls() ? NineXLockName : SingleInstanceLockName);
    return lock != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
}

// The window the settings dialog is modal to; none for a handle that names no window (or the
// desktop, which no dialog may disable).
HWND settingsOwner(const std::wstring& arguments) {
    // Handles are 32-bit values sign-extended on 64-bit Windows.
    const HWND owner = reinterpret_cast<HWND>(static_cast<LONG_PTR>(settingsOwnerHandle(arguments)));
    return owner && IsWindow(owner) && owner != GetDesktopWindow() ? owner : nullptr;
}
}  // namespace

// Decides the mode from the command line and hands over to the preview, the settings dialog or the run host.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const std::wstring arguments = argumentText(GetCommandLineW());
    const StartMode mode = startMode(arguments);
    if (holdsSingleInstanceLock(mode) && lockTakenByAnother()) return 0;
    // Older copies hold no lock: their windows still mark a running saver or an open dialog. Previews
    // are never kept out: the system's settings start one again as the settings dialog closes.
    if (mode != StartMode::Preview && anotherInstanceShows()) return 0;

    ShellSettings settings;
    loadSettings(settings);
    if (mode == StartMode::Preview) {
        // Handles are 32-bit values sign-extended on 64-bit Windows.
        const HWND host = reinterpret_cast<HWND>(static_cast<LONG_PTR>(previewHandle(arguments)));
        runPreview(instance, host, settings.scene, FrameRateRule{settings.frameRate, settings.batterySaver, false});
        return 0;
    }

    if (!fileOpens(ownFolderPath() + L"\\" + RendererFileName)) {
        MessageBoxW(nullptr, shellText(instance, TEXT_RENDERER_MISSING).c_str(),
                    shellText(instance, TEXT_APPLICATION_TITLE).c_str(), MB_OK);
        return 0;
    }
    if (mode == StartMode::Settings) {
        showSettingsDialog(instance, settings, settingsOwner(arguments));
        return 0;
    }
    if (mode == StartMode::End) return 0;

    if (mode == StartMode::RunHidePointer) setPointerShown(false);
    runHost(instance, settings, modeLetter(arguments));
    // The run host returns only when the renderer failed.
    MessageBoxW(nullptr, shellText(instance, TEXT_RENDERER_NOT_STARTED).c_str(),
                shellText(instance, TEXT_APPLICATION_TITLE).c_str(), MB_OK);
    return RendererFailedExitCode;
}
