// The settings dialog shown and closed again and again in one process frees every GDI object it made.
#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

#include "common/names.h"
#include "shell/dialog/settings_dialog.h"

namespace {

constexpr int Showings = 50;
constexpr DWORD DialogWaitMs = 10000;

// GDI objects this process holds. Wine's GetGuiResources is a stub that answers 0 with
// ERROR_CALL_NOT_IMPLEMENTED; there every valid handle value is counted instead, which Wine
// accepts with its upper bits clear.
DWORD gdiObjects() {
    SetLastError(0);
    const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (counted != 0 || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return counted;
    DWORD live = 0;
    for (UINT_PTR handle = 1; handle < 0x10000; ++handle) {
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(handle)) != 0) ++live;
    }
    return live;
}

// Shows the dialog once and closes it from its title bar as soon as it is up.
void showAndClose(ShellSettings& settings) {
    std::thread closer([] {
        for (DWORD start = GetTickCount(); GetTickCount() - start < DialogWaitMs; Sleep(5)) {
            if (HWND dialog = FindWindowW(SettingsDialogClassName, SettingsDialogTitle)) {
                PostMessageW(dialog, WM_CLOSE, 0, 0);
                return;
            }
        }
    });
    showSettingsDialog(GetModuleHandleW(nullptr), settings);
    closer.join();
}

TEST(SettingsDialogResources, FiftyShowingsLeakNoGdiObject) {
    ShellSettings settings;
    settings.musicSource = MusicSourceFile;
    settings.musicFile = "C:\\music\\loop.wav";
    showAndClose(settings);  // the first showing fills the system's caches (fonts, shared icons)
    const DWORD before = gdiObjects();
    ASSERT_GT(before, 0u);
    for (int n = 0; n < Showings; ++n) showAndClose(settings);
    EXPECT_EQ(gdiObjects(), before);
}

}  // namespace
