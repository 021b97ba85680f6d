// The settings dialog of a copy of the real Lumivane.scr, opened with /c and driven by its controls, and the
// settings files it reads and writes.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/names.h"
#include "support/win_test_support.h"

namespace wintest {

constexpr DWORD WaitMs = 20000;  // a start through scripts/wine-run on a busy machine
using Values = std::vector<std::string>;
// The three keys' names as every settings file holds them (Shift-JIS bytes), Screens, FrameRate and BatterySaver.
inline const Values Keys = {"BGM\x8B\xE6\x95\xAA", "BGM\xD8\xCB\xDF\xB0\xC4", "BGM\xCC\xA7\xB2\xD9", "Screens",
                            "FrameRate", "BatterySaver"};

// A settings file with the three keys, then `rest`.
inline std::string iniText(const std::string& source, const std::string& repeat, const std::string& file,
                           const std::string& rest = "") {
    return "[Section]\r\n" + Keys[0] + "=" + source + "\r\n" + Keys[1] + "=" + repeat + "\r\n" + Keys[2] + "=" +
           file + "\r\n" + rest;
}

// The small disk (a 4 MB tmpfs) that ctest mounts at LUMIVANE_FULL_DISK_UNIX, as a Windows path; empty when it
// is not there.
inline std::wstring smallDisk() {
    const std::wstring disk = fromUnixPath(LUMIVANE_FULL_DISK_UNIX);
    ULARGE_INTEGER total{};
    return GetDiskFreeSpaceExW(disk.c_str(), nullptr, &total, nullptr) && total.QuadPart <= 8u << 20 ? disk : L"";
}
// Fills the disk that holds `dir` with the file "filler" in it, so that a save there fails.
inline void fillDisk(const TempDir& dir) {
    ULARGE_INTEGER free{};
    GetDiskFreeSpaceExW(dir.path().c_str(), &free, nullptr, nullptr);
    writeFileBytes(dir.file(L"filler"), std::string(free.QuadPart, 'f'));
}

// Lumivane.scr, a stand-in renderer and a settings file (none when `ini` is empty) put into a folder and
// taken out again at the end; the dialog opened there with /c.
class DialogRun {
public:
    // `placed`: the programs are in the folder already (one that cannot be written).
    DialogRun(const std::wstring& folder, const std::string& ini, bool placed = false) : folder_(folder) {
        if (placed) return;
        EXPECT_TRUE(CopyFileW((distDir() + L"\\Lumivane.scr").c_str(), file(L"Lumivane.scr").c_str(), FALSE));
        EXPECT_TRUE(writeFileBytes(file(L"Lumivane.dll"), "MZ") && (ini.empty() || writeFileBytes(iniPath(), ini)));
    }
    ~DialogRun() {
        scr.kill();
        for (const wchar_t* name : {L"Lumivane.scr", L"Lumivane.dll", L"Lumivane.ini"}) DeleteFileW(file(name).c_str());
    }
    // Starts /c (under a glibc locale, whose language and code page Wine takes, through scripts/wine-run, a Unix
    // process: the program is then found by its window) and waits for the window titled `title` to show.
    HWND open(const std::string& locale = "", const wchar_t* title = SettingsDialogTitle,
              const std::wstring& args = L"/c") {
        SetCursorPos(5, 5);  // away from where the dialog opens
        const std::wstring scrPath = file(L"Lumivane.scr"), runner = sourceDir() + L"\\scripts\\wine-run";
        EXPECT_TRUE(locale.empty() ? scr.start(scrPath, args)
                                   : runner_.start(runner, L"--locale " + std::wstring(locale.begin(), locale.end()) +
                                                               L" \"" + scrPath + L"\" /c"));
        hwnd = waitForWindow(nullptr, title, WaitMs);
        if (hwnd && !locale.empty()) scr.attach(hwnd);
        if (hwnd) within(5000, [&] { return IsWindowVisible(hwnd) != 0; });
        Sleep(500);  // painted
        return hwnd;
    }
    // Clicks a button whose save must fail: the message, titled `title`, names the file after `says`, and the
    // dialog stays open.
    void saveFails(const wchar_t* save, const wchar_t* title, const std::wstring& says) {
        clickCentre(button(save));
        const std::wstring message = messageText(waitForWindow(nullptr, title, WaitMs));
        EXPECT_NE(message.find(says + iniPath()), message.npos) << "not reported with its path";
        Sleep(500);
        EXPECT_TRUE(scr.running() && IsWindowVisible(hwnd)) << "the dialog did not stay open";
    }
    std::wstring file(const wchar_t* name) const { return folder_ + L"\\" + name; }
    std::wstring iniPath() const { return file(L"Lumivane.ini"); }
    std::string iniBytes() const { return readFileBytes(iniPath()); }
    HWND panel() const { return FindWindowExW(hwnd, nullptr, L"Glimra.Panel", nullptr); }
    // A control of this class, with this text when one is named, on the panel or else on the dialog.
    HWND control(const wchar_t* className, const wchar_t* text = nullptr) const {
        HWND found = FindWindowExW(panel(), nullptr, className, text);
        return found ? found : FindWindowExW(hwnd, nullptr, className, text);
    }
    HWND label(const wchar_t* text) const { return control(L"Glimra.Label", text); }
    HWND button(const wchar_t* text) const { return control(CommandClassName, text); }
    HWND trackBox() const { return control(L"ComboBox"); }
    HWND screensBox() const { return FindWindowExW(hwnd, nullptr, L"ComboBox", nullptr); }
    HWND frameRateBox() const { return FindWindowExW(hwnd, screensBox(), L"ComboBox", nullptr); }
    HWND batteryBox() const { return FindWindowExW(hwnd, nullptr, L"Button", nullptr); }
    // Types a new text into the track box.
    void typeTrack(const std::wstring& text) const {
        clickCentre(trackBox());
        SendMessageW(trackBox(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        typeText(text);
    }

    Process scr;
    HWND hwnd = nullptr;

private:
    std::wstring folder_;
    Process runner_;  // scripts/wine-run, when the program runs under another locale
};

}  // namespace wintest
