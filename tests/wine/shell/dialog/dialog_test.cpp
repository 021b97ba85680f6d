// The settings dialog of the real Lumivane.scr /c, driven with real input and read back from the screen.
// It runs under the Japanese locale and finds the controls by their Japanese texts.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <memory>
#include <optional>
#include <string>

#include "common/names.h"
#include "support/win_test_support.h"

using namespace wintest;

namespace {

constexpr wchar_t PanelClass[] = L"Glimra.Panel";
constexpr wchar_t LabelClass[] = L"Glimra.Label";
constexpr wchar_t MessageTitle[] = L"Lumivane (ScreenSaver)";
constexpr wchar_t FileDialogTitle[] = L"ﾌｧｲﾙを開く";
constexpr DWORD StartMs = 15000;
constexpr DWORD ExitMs = 10000;

std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

COLORREF screenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return c;
}

// One pixel of a picture in the source tree's assets folder.
COLORREF assetPixel(const wchar_t* name, int x, int y) {
    std::wstring path = sourceDir() + L"\\assets\\" + name;
    auto bmp = static_cast<HBITMAP>(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    EXPECT_NE(bmp, nullptr) << narrow(path);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bmp);
    return c;
}

// Each colour component within `tolerance`; the failure shows both colours as 0xBBGGRR.
::testing::AssertionResult looksLike(COLORREF seen, COLORREF expected, int tolerance) {
    for (int shift : {0, 8, 16}) {
        if (std::abs(int((seen >> shift) & 0xFF) - int((expected >> shift) & 0xFF)) > tolerance)
            return ::testing::AssertionFailure() << std::hex << "seen 0x" << seen << ", expected 0x" << expected;
    }
    return ::testing::AssertionSuccess();
}

void typeText(const std::wstring& text) {
    for (wchar_t c : text) {
        INPUT in[2]{};
        in[0].type = in[1].type = INPUT_KEYBOARD;
        in[0].ki.wScan = in[1].ki.wScan = c;
        in[0].ki.dwFlags = KEYEVENTF_UNICODE;
        in[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        SendInput(2, in, sizeof(INPUT));
        Sleep(40);
    }
}

// A folder with Lumivane.scr, a stand-in renderer and a settings file (none when `ini` is empty);
// the dialog opened with /c. The folder is a fresh one under `base`, or `base` itself when `inPlace`
// (then only the files put there are removed).
class DialogRun {
public:
    explicit DialogRun(const std::string& ini, const std::wstring& base = L"", bool inPlace = false) {
        if (inPlace) {
            folder = base;
        } else {
            dir.emplace(L"dialog", base);
            folder = dir->path();
        }
        EXPECT_TRUE(CopyFileW((distDir() + L"\\Lumivane.scr").c_str(), file(L"Lumivane.scr").c_str(), FALSE));
        EXPECT_TRUE(writeFileBytes(file(L"Lumivane.dll"), "MZ stand-in"));
        if (!ini.empty()) {
            EXPECT_TRUE(writeFileBytes(iniPath(), ini));
        }
        moveMouseTo(5, 5);  // away from where the dialog opens
    }
    ~DialogRun() {
        SetFileAttributesW(iniPath().c_str(), FILE_ATTRIBUTE_NORMAL);
        scr.kill();
        if (!dir) {
            for (const wchar_t* name : {L"Lumivane.scr", L"Lumivane.dll", L"Lumivane.ini"}) DeleteFileW(file(name).c_str());
        }
    }

    // Starts /c and waits for the dialog to be shown and painted.
    HWND open() {
        EXPECT_TRUE(scr.start(file(L"Lumivane.scr"), L"/c"));
        hwnd = waitForWindow(SettingsDialogClassName, SettingsDialogTitle, StartMs);
        if (hwnd) within(5000, [&] { return IsWindowVisible(hwnd) != 0; });
        Sleep(500);
        return hwnd;
    }
    // Clicks a button and waits for the program to end.
    bool clickAndExit(const wchar_t* caption) {
        clickCentre(button(caption));
        return scr.waitExit(ExitMs);
    }

    std::wstring file(const wchar_t* name) const { return folder + L"\\" + name; }
    std::wstring iniPath() const { return file(L"Lumivane.ini"); }
    std::string iniBytes() const { return readFileBytes(iniPath()); }
    HWND panel() const { return FindWindowExW(hwnd, nullptr, PanelClass, nullptr); }
    HWND combo() const { return FindWindowExW(panel(), nullptr, L"ComboBox", nullptr); }
    HWND screensBox() const { return FindWindowExW(hwnd, nullptr, L"ComboBox", nullptr); }
    HWND label(const wchar_t* text) const { return FindWindowExW(panel(), nullptr, LabelClass, text); }
    HWND button(const wchar_t* caption) const {
        HWND b = FindWindowExW(hwnd, nullptr, CommandClassName, caption);
        return b ? b : FindWindowExW(panel(), nullptr, CommandClassName, caption);
    }
    // The path box: the widest label (the marks beside the choices carry no text either).
    HWND pathLabel() const {
        HWND widest = nullptr;
        for (HWND l = nullptr; (l = FindWindowExW(panel(), l, LabelClass, nullptr)) != nullptr;) {
            if (!widest || screenRect(l).right - screenRect(l).left > screenRect(widest).right - screenRect(widest).left)
                widest = l;
        }
        return widest;
    }
    // Centre pixel of the 12x12 radio mark left of a choice label.
    COLORREF markCentre(const wchar_t* choice) const {
        RECT r = screenRect(label(choice));
        return screenPixel(r.left - 10, r.top + 6);
    }

    std::optional<TempDir> dir;
    std::wstring folder;
    Process scr;  // declared after the folder: ends before its files are removed
    HWND hwnd = nullptr;
};

// The failed-save message's text once it shows, or "<no message>".
std::wstring failureMessage(DWORD ms) {
    HWND box = waitForWindow(nullptr, MessageTitle, ms);
    if (!box) return L"<no message>";
    std::wstring message;
    for (HWND part = nullptr; (part = FindWindowExW(box, part, L"Static", nullptr)) != nullptr;) message += textOf(part);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    waitForNoWindow(nullptr, MessageTitle, 5000);
    return message;
}

// %APPDATA%\Lumivane, where an installed copy keeps its settings.
std::wstring perUserFolder() {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path);
    return std::wstring(path) + L"\\Lumivane";
}

// The left edge's outer line, which tells the six state pictures apart.
COLORREF buttonEdge(HWND button) {
    RECT r = screenRect(button);
    return screenPixel(r.left, (r.top + r.bottom) / 2);
}
COLORREF pictureEdge(const wchar_t* picture) { return assetPixel(picture, 0, 12); }
COLORREF radioMark(bool on) { return assetPixel(on ? L"radio_on.bmp" : L"radio_off.bmp", 6, 6); }

}  // namespace

TEST(SettingsDialog, OpensOneWindowAtItsPlaceWithGradientsAndTheTitleBarCloseWritesNothing) {
    const std::string before = iniText(" 0", " 0", "");
    DialogRun run(before);
    HWND dlg = run.open();
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(FindWindowExW(nullptr, nullptr, nullptr, SettingsDialogTitle), dlg);
    EXPECT_EQ(FindWindowExW(nullptr, dlg, nullptr, SettingsDialogTitle), nullptr) << "a second window titled <Lumivane>";
    RECT client{};
    GetClientRect(dlg, &client);
    EXPECT_EQ(client.right, 479);
    EXPECT_EQ(client.bottom, 252);
    RECT outer = screenRect(dlg);
    EXPECT_NEAR(outer.left, (GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left)) / 2, 1);
    EXPECT_NEAR(outer.top, (GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top)) / 3, 1);
    EXPECT_FALSE(GetWindowLongPtrW(dlg, GWL_STYLE) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));

    // Dialog, in the left margin outside the panel: dark blue on top, pale lavender in the middle.
    POINT origin{0, 0};
    ClientToScreen(dlg, &origin);
    EXPECT_TRUE(looksLike(screenPixel(origin.x + 4, origin.y), RGB(0, 0, 30), 3));
    EXPECT_TRUE(looksLike(screenPixel(origin.x + 4, origin.y + 126), RGB(220, 220, 250), 3));
    // Panel, where no control covers it: grey, palest in its middle row (169 / 2).
    RECT panel = screenRect(run.panel());
    EXPECT_TRUE(looksLike(screenPixel(panel.right - 8, panel.top), RGB(30, 30, 30), 3));
    EXPECT_TRUE(looksLike(screenPixel(panel.right - 8, panel.top + 84), RGB(250, 250, 250), 3));
    HWND cover = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, panel.left, panel.top, 300,
                                 120, nullptr, nullptr, nullptr, nullptr);
    pump(300);
    DestroyWindow(cover);
    auto uncovered = [&] { return looksLike(screenPixel(panel.left + 250, panel.top + 84), RGB(250, 250, 250), 3); };
    EXPECT_TRUE(within(2000, [&] { return bool(uncovered()); })) << uncovered().message();

    clickCentre(run.label(L"音楽CD"));
    EXPECT_TRUE(within(1000, [&] { return IsWindowEnabled(run.combo()) != 0; }));
    PostMessageW(dlg, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(run.scr.waitExit(ExitMs));
    EXPECT_EQ(run.iniBytes(), before);
}

TEST(SettingsDialog, CdSourceAtLoadEnablesTheTrackBoxOnlyAndAHalfTrackSavesRoundedToEvenBesideThePortableCopy) {
    const std::string otherSection = "[Other]\r\nkeep=this\r\n";
    DialogRun run(iniText(" 1", " 45", "") + otherSection);
    ASSERT_NE(run.open(), nullptr);
    HWND fileButton = run.button(L"...");
    ASSERT_NE(fileButton, nullptr);
    EXPECT_TRUE(IsWindowEnabled(run.combo()));
    EXPECT_FALSE(IsWindowEnabled(fileButton));
    EXPECT_TRUE(looksLike(buttonEdge(fileButton), pictureEdge(L"button_disable.bmp"), 2));
    EXPECT_EQ(textOf(run.combo()), L"45");  // outside the list, still shown
    EXPECT_EQ(ask(run.combo(), CB_GETCOUNT), 31);
    EXPECT_TRUE(looksLike(run.markCentre(L"音楽CD"), radioMark(true), 2));
    EXPECT_TRUE(looksLike(run.markCentre(L"無し"), radioMark(false), 2));
    EXPECT_TRUE(looksLike(run.markCentre(L"MP3、WAV"), radioMark(false), 2));

    clickCentre(run.combo());
    ask(run.combo(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    typeText(L"3.5");
    EXPECT_TRUE(within(2000, [&] { return textOf(run.combo()) == L"3.5"; })) << narrow(textOf(run.combo()));
    // A file without the screens key shows every monitor; the primary only is chosen with the keyboard.
    EXPECT_EQ(ask(run.screensBox(), CB_GETCURSEL), 0);
    clickCentre(run.screensBox());
    pressKey(VK_DOWN);
    pressKey(VK_RETURN);
    EXPECT_TRUE(within(2000, [&] { return ask(run.screensBox(), CB_GETCURSEL) == 1; }));
    ASSERT_TRUE(run.clickAndExit(L"設定"));
    std::string ini = run.iniBytes();
    EXPECT_EQ(stored(ini, KeySource), "1");
    EXPECT_EQ(stored(ini, KeyRepeat), "4");
    EXPECT_EQ(stored(ini, KeyFile), "");
    EXPECT_EQ(stored(ini, "Screens"), "1");
    EXPECT_NE(ini.find(otherSection), std::string::npos) << "other sections are kept: " << ini;
    EXPECT_EQ(folderEntries(run.folder), (std::vector<std::wstring>{L"Lumivane.dll", L"Lumivane.ini", L"Lumivane.scr"}))
        << "no temporary file is left";
    EXPECT_EQ(GetFileAttributesW((perUserFolder() + L"\\Lumivane.ini").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(SettingsDialog, FileSourceAtLoadEnablesTheFileButtonOnlyAndCancelAfterChangesWritesNothing) {
    DialogRun run("");
    std::wstring song = run.file(L"song.mp3");
    ASSERT_TRUE(writeFileBytes(song, "ID3"));
    const std::string before = iniText(" 2", " 0", narrow(song)) + "Screens= 1\r\n; hand-written note\r\n";
    ASSERT_TRUE(writeFileBytes(run.iniPath(), before));
    ASSERT_NE(run.open(), nullptr);
    HWND fileButton = run.button(L"...");
    EXPECT_TRUE(IsWindowEnabled(fileButton));
    EXPECT_FALSE(IsWindowEnabled(run.combo()));
    EXPECT_TRUE(looksLike(buttonEdge(fileButton), pictureEdge(L"button_normal.bmp"), 2));
    EXPECT_NE(run.label(song.c_str()), nullptr) << "the path box shows the file";
    EXPECT_EQ(ask(run.screensBox(), CB_GETCURSEL), 1) << "the primary only, as stored";
    clickCentre(run.label(L"音楽CD"));
    EXPECT_TRUE(within(1000, [&] { return !IsWindowEnabled(fileButton); }));
    ASSERT_TRUE(run.clickAndExit(L"ｷｬﾝｾﾙ"));
    EXPECT_EQ(run.iniBytes(), before);
}

TEST(SettingsDialog, RightClickOnTheFileLabelAndAFileTypedInTheOpenDialogAreSavedAsKindTwoAndThePath) {
    DialogRun run(iniText(" 0", " 0", ""));
    std::wstring song = run.file(L"typed.mp3");  // need not exist: the typed name is taken
    ASSERT_NE(run.open(), nullptr);
    HWND fileButton = run.button(L"...");
    EXPECT_FALSE(IsWindowEnabled(fileButton));
    clickCentre(run.label(L"MP3、WAV"), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    ASSERT_TRUE(within(1000, [&] { return IsWindowEnabled(fileButton) != 0; }));
    EXPECT_FALSE(IsWindowEnabled(run.combo()));
    EXPECT_TRUE(looksLike(run.markCentre(L"MP3、WAV"), radioMark(true), 2));

    clickCentre(fileButton);
    HWND chooser = waitForWindow(nullptr, FileDialogTitle, 10000);
    ASSERT_NE(chooser, nullptr) << "no open-file dialog titled ﾌｧｲﾙを開く";
    Sleep(800);
    SetForegroundWindow(chooser);
    typeText(song);
    pressKey(VK_RETURN);
    ASSERT_TRUE(waitForNoWindow(nullptr, FileDialogTitle, 10000));
    EXPECT_TRUE(within(2000, [&] { return run.label(song.c_str()) != nullptr; })) << "lbl_Fname shows the file";
    ASSERT_TRUE(run.clickAndExit(L"設定"));
    std::string ini = run.iniBytes();
    EXPECT_EQ(stored(ini, KeySource), "2");
    EXPECT_EQ(stored(ini, KeyRepeat), "0");
    EXPECT_EQ(stored(ini, KeyFile), narrow(song));
}

TEST(SettingsDialog, ReadOnlySettingsFileIsReportedAndTheDialogStaysOpen) {
    const std::string before = iniText(" 0", " 0", "");
    DialogRun run(before);
    ASSERT_TRUE(SetFileAttributesW(run.iniPath().c_str(), FILE_ATTRIBUTE_READONLY));
    // Wine run as root ignores the attribute; a handle sharing reading only blocks writes for anyone.
    HANDLE lock = CreateFileW(run.iniPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    std::unique_ptr<void, decltype(&CloseHandle)> closer(lock, &CloseHandle);
    HWND dlg = run.open();
    ASSERT_NE(dlg, nullptr);
    clickCentre(run.label(L"音楽CD"));
    clickCentre(run.button(L"設定"));
    const std::wstring message = failureMessage(5000);
    EXPECT_NE(message.find(run.iniPath()), std::wstring::npos) << narrow(message);
    EXPECT_NE(message.find(L"保存できません"), std::wstring::npos);
    Sleep(300);
    EXPECT_TRUE(IsWindowVisible(dlg));
    EXPECT_TRUE(run.scr.running());
    EXPECT_EQ(run.iniBytes(), before);
}

TEST(SettingsDialog, ButtonFaceRunsWhiteToLavenderAndHoverShowsWhileThePointerRestsAndGoesWithin200ms) {
    DialogRun run(iniText(" 0", " 0", ""));
    ASSERT_NE(run.open(), nullptr);
    HWND set = run.button(L"設定");
    ASSERT_NE(set, nullptr);
    const COLORREF normal = pictureEdge(L"button_normal.bmp");
    const COLORREF highlight = pictureEdge(L"button_highlight.bmp");
    ASSERT_FALSE(looksLike(normal, highlight, 2));
    EXPECT_TRUE(looksLike(buttonEdge(set), normal, 2));
    RECT r = screenRect(set);
    const int x = r.left + 6;
    EXPECT_TRUE(looksLike(screenPixel(x, r.top + 4), RGB(255, 255, 255), 12));
    COLORREF faceBottom = screenPixel(x, r.bottom - 6);
    EXPECT_TRUE(looksLike(faceBottom, RGB(198, 197, 215), 12));
    EXPECT_GT(GetBValue(faceBottom), GetRValue(faceBottom) + 8);  // lavender, not grey

    moveMouseTo(x, (r.top + r.bottom) / 2);
    EXPECT_TRUE(within(1000, [&] { return looksLike(buttonEdge(set), highlight, 2); }));
    EXPECT_LT(GetRValue(screenPixel(x, r.top + 4)), 215);  // the hover face is turned over: lavender on top
    Sleep(400);  // several polling ticks
    EXPECT_TRUE(looksLike(buttonEdge(set), highlight, 2));

    moveMouseTo(5, 5);
    DWORD left = GetTickCount();
    ASSERT_TRUE(within(1000, [&] { return looksLike(buttonEdge(set), normal, 2); }));
    EXPECT_LT(GetTickCount() - left, 200u);
}

TEST(SettingsDialog, EnterInTheTrackBoxOrOnThePathChangesNothingAndEscClosesWithoutSaving) {
    const std::string before = iniText(" 1", " 3", "");
    DialogRun run(before);
    HWND dlg = run.open();
    ASSERT_NE(dlg, nullptr);
    clickCentre(run.combo());
    ask(run.combo(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    typeText(L"7");
    pressKey(VK_RETURN);
    Sleep(500);
    EXPECT_TRUE(run.scr.running() && IsWindowVisible(dlg)) << "Enter in the track box closed the dialog";
    EXPECT_EQ(textOf(run.combo()), L"7");
    clickCentre(run.pathLabel());
    pressKey(VK_RETURN);
    Sleep(500);
    EXPECT_TRUE(run.scr.running() && IsWindowVisible(dlg)) << "Enter on the path closed the dialog";
    EXPECT_EQ(run.iniBytes(), before) << "Enter saved";

    pressKey(VK_ESCAPE);
    EXPECT_TRUE(run.scr.waitExit(ExitMs)) << "Esc did not close the dialog";
    EXPECT_EQ(run.iniBytes(), before);
}

TEST(SettingsDialog, InstalledCopyInTheSystemFolderSavesForTheUserAndLoadsItBack) {
    wchar_t system[MAX_PATH] = {};
    ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
    const std::wstring perUserIni = perUserFolder() + L"\\Lumivane.ini";
    DeleteFileW(perUserIni.c_str());
    RemoveDirectoryW(perUserFolder().c_str());
    {
        DialogRun run("", system, true);
        ASSERT_NE(run.open(), nullptr);
        clickCentre(run.label(L"音楽CD"));
        clickCentre(run.combo());
        ask(run.combo(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        typeText(L"7");
        ASSERT_TRUE(run.clickAndExit(L"設定"));
        EXPECT_EQ(GetFileAttributesW(run.iniPath().c_str()), INVALID_FILE_ATTRIBUTES) << "saved into the system folder";
        const std::string ini = readFileBytes(perUserIni);
        EXPECT_EQ(stored(ini, KeySource), "1") << "not saved in %APPDATA%\\Lumivane";
        EXPECT_EQ(stored(ini, KeyRepeat), "7");

        ASSERT_NE(run.open(), nullptr);
        EXPECT_TRUE(IsWindowEnabled(run.combo())) << "the CD choice did not load again";
        EXPECT_EQ(textOf(run.combo()), L"7");
        ASSERT_TRUE(run.clickAndExit(L"ｷｬﾝｾﾙ"));
    }
    DeleteFileW(perUserIni.c_str());
    RemoveDirectoryW(perUserFolder().c_str());
}

TEST(SettingsDialog, SaveOnAFullDiskIsReportedAndLeavesTheOldFileAsItWas) {
    // A 4 MB tmpfs that ctest mounts for this program; never fill a real disk.
    const std::wstring disk = fromUnixPath(LUMIVANE_FULL_DISK_UNIX);
    ULARGE_INTEGER total{};
    ASSERT_TRUE(GetDiskFreeSpaceExW(disk.c_str(), nullptr, &total, nullptr));
    ASSERT_LE(total.QuadPart, 8u << 20) << "no small disk mounted at " << LUMIVANE_FULL_DISK_UNIX << " (run through ctest)";
    struct Case { const char* name; std::string ini; };
    for (const Case& c : {Case{"first save", ""}, Case{"existing file", iniText(" 0", " 0", "") + "[Other]\r\nkeep=this\r\n"}}) {
        SCOPED_TRACE(c.name);
        DialogRun run(c.ini, disk);
        const std::vector<std::wstring> filesBefore = folderEntries(run.folder);
        // Fill what is left of the disk.
        const std::wstring filler = disk + L"\\filler";
        HANDLE fill = CreateFileW(filler.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(fill, INVALID_HANDLE_VALUE);
        const std::string block(4096, 'f');
        DWORD wrote = 0;
        while (WriteFile(fill, block.data(), static_cast<DWORD>(block.size()), &wrote, nullptr) && wrote == block.size()) {
        }
        CloseHandle(fill);

        HWND dlg = run.open();
        ASSERT_NE(dlg, nullptr);
        clickCentre(run.label(L"音楽CD"));
        clickCentre(run.button(L"設定"));
        const std::wstring message = failureMessage(5000);
        EXPECT_NE(message.find(L"保存できません"), std::wstring::npos) << narrow(message);
        EXPECT_NE(message.find(run.iniPath()), std::wstring::npos) << narrow(message);
        Sleep(300);
        EXPECT_TRUE(run.scr.running() && IsWindowVisible(dlg)) << "the dialog stays open";
        EXPECT_EQ(run.iniBytes(), c.ini) << "the old file is byte for byte as it was";
        EXPECT_EQ(folderEntries(run.folder), filesBefore) << "a file was left behind";
        DeleteFileW(filler.c_str());
    }
}
