// The settings dialog of copies of the real Lumivane.scr /c driven with real input, read back from the screen and
// the settings file: under the Japanese locale, where its Japanese texts find the controls, and under Japanese,
// American and German locales for its texts; and shown again and again in this process, with its own code.
#include <gtest/gtest.h>
#include <shlobj.h>
// after shlobj.h, which brings windows.h
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "common/names.h"
#include "renderer/scene/scene_settings.h"
#include "shell/dialog/scene_dialog_rules.h"
#include "shell/dialog/settings_dialog.h"
#include "shell/texts/texts.h"
#include "support/dialog_run.h"

using namespace wintest;

namespace {

constexpr int SliderThumbInset = 13;  // from a slider's ends to its thumb's middle at either end, pixels
constexpr DWORD PictureSettleMs = 4000;  // after the Scene dialog's picture started again, before it is read
constexpr wchar_t Cd[] = L"音楽CD", FileChoice[] = L"MP3、WAV", Save[] = L"設定";
// The left edge of a self-drawn button as its normal, highlighted and disabled pictures draw it.
constexpr COLORREF NormalEdge = RGB(96, 94, 128), HoverEdge = RGB(232, 150, 40), DisabledEdge = RGB(168, 168, 168);
// The keys' values in a settings file, "?" for a missing one, without the blank the program writes before
// a number (" 2").
Values storedValues(const std::string& ini) {
    Values values;
    for (const std::string& key : Keys) {
        const size_t at = ini.find("\n" + key + "="), start = at + key.size() + 2;
        const std::string value = at == ini.npos ? "?" : ini.substr(start, ini.find_first_of("\r\n", start) - start);
        values.push_back(value.size() > 1 && value[0] == ' ' ? value.substr(1) : value);
    }
    return values;
}

// One pixel of the screen.
COLORREF pixel(LONG x, LONG y) {
    HDC screen = GetDC(nullptr);
    const COLORREF c = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return c;
}
// Each colour component within `tolerance`; a failure shows both colours as 0xBBGGRR.
testing::AssertionResult looksLike(COLORREF seen, COLORREF expected, int tolerance = 2) {
    const auto off = [&](int shift) { return std::abs(int((seen >> shift) & 0xFF) - int((expected >> shift) & 0xFF)); };
    if (std::max({off(0), off(8), off(16)}) <= tolerance) return testing::AssertionSuccess();
    return testing::AssertionFailure() << std::hex << "seen 0x" << seen << ", expected 0x" << expected;
}
// The middle of a button's left edge, which tells its state pictures apart.
COLORREF edge(HWND button) {
    const RECT r = screenRect(button);
    return pixel(r.left, (r.top + r.bottom) / 2);
}
// The darkest channel inside a button's edge, where its caption is drawn.
int darkestCaption(HWND button) {
    RECT r = screenRect(button);
    InflateRect(&r, -4, -4);
    int darkest = 255;
    for (const RGBQUAD& p : screenPixels(r)) darkest = std::min({darkest, +p.rgbRed, +p.rgbGreen, +p.rgbBlue});
    return darkest;
}
// Whether a label lets the background behind it show: its top row looks like the background just left of it.
testing::AssertionResult showsBackground(HWND label) {
    const RECT r = screenRect(label);
    return looksLike(pixel(r.left + 1, r.top), pixel(r.left - 2, r.top), 6);
}

// The screen, trimmed to what is not its black background, saved beside this program for a person to look at
// (dialog-<locale>.png, and dialog-scene.png with the Scene dialog over the settings dialog).
void saveScreenshot(const char* locale) {
    const std::string png = LUMIVANE_SCREENSHOTS_UNIX "/dialog-" + std::string(locale) + ".png";
    std::filesystem::remove(fromUnixPath(png));
    Process grab;
    const std::wstring args = L"-window root -trim +repage " + std::wstring(png.begin(), png.end());
    EXPECT_TRUE(grab.start(L"Z:\\usr\\bin\\import", args));
    EXPECT_TRUE(within(10000, [&] { return std::filesystem::exists(fromUnixPath(png)); })) << png;
}

// A portable copy on a small disk (a 4 MB tmpfs that ctest mounts): the dialog's place and look, the CD and
// the file choice saved beside it and loaded back, and saves on the full disk.
TEST(SettingsDialog, ShowsSavesAndLoadsItsChoicesBesideThePortableCopyAndReportsAFailedSave) {
    const std::wstring disk = smallDisk();
    ASSERT_FALSE(disk.empty()) << "no small disk mounted at " << LUMIVANE_FULL_DISK_UNIX;
    TempDir dir(L"dialog", disk);
    const std::string otherSection = "[Other]\r\nkeep=this\r\n";
    DialogRun run(dir.path(), iniText(" 1", " 45", "") + otherSection);
    ASSERT_NE(run.open(), nullptr);
    RECT client{}, outer = screenRect(run.hwnd), panel = screenRect(run.panel());
    GetClientRect(run.hwnd, &client);
    EXPECT_TRUE(client.right == 479 && client.bottom == 268) << client.right << " x " << client.bottom;
    EXPECT_NEAR(outer.left, (GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left)) / 2, 1);
    EXPECT_NEAR(outer.top, (GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top)) / 3, 1);
    // The dialog's gradient (left of the panel, 16 pixels down) dark blue to pale lavender, the panel's grey to white.
    const struct { LONG x, y; COLORREF colour; } gradients[] = {{panel.left - 8, panel.top - 16, RGB(0, 0, 30)},
        {panel.left - 8, panel.top + 110, RGB(220, 220, 250)}, {panel.right - 8, panel.top, RGB(30, 30, 30)},
        {panel.right - 8, panel.top + 84, RGB(250, 250, 250)}};
    for (const auto& p : gradients) EXPECT_TRUE(looksLike(pixel(p.x, p.y), p.colour, 3)) << p.x << ", " << p.y;
    // The stored CD choice enables the track box only; a file without Screens shows every monitor, one without
    // FrameRate and BatterySaver every frame the display allows, with the battery saver on.
    EXPECT_TRUE(IsWindowEnabled(run.trackBox()) && !IsWindowEnabled(run.button(L"...")));
    EXPECT_TRUE(looksLike(edge(run.button(L"...")), DisabledEdge));
    EXPECT_GE(darkestCaption(run.button(L"...")), 100) << "the disabled button's caption is not grey";
    EXPECT_LE(darkestCaption(run.button(Save)), 60) << "the enabled button's caption is not black";
    for (const wchar_t* text : {L"画面", L"コマ数", L"無し"}) EXPECT_TRUE(showsBackground(run.label(text))) << "label";
    EXPECT_EQ(SendMessageW(run.screensBox(), CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(SendMessageW(run.frameRateBox(), CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(SendMessageW(run.batteryBox(), BM_GETCHECK, 0, 0), BST_CHECKED);

    // The face runs white to lavender; the highlight shows while the pointer rests on the button and goes
    // within 200 ms of its leaving.
    HWND save = run.button(Save);
    const RECT face = screenRect(save);
    const COLORREF top = pixel(face.left + 6, face.top + 4), bottom = pixel(face.left + 6, face.bottom - 6);
    EXPECT_TRUE(looksLike(edge(save), NormalEdge) && looksLike(top, RGB(255, 255, 255), 12));
    EXPECT_TRUE(looksLike(bottom, RGB(198, 197, 215), 14) && GetBValue(bottom) > GetRValue(bottom) + 8) << "lavender";
    SetCursorPos(face.left + 6, (face.top + face.bottom) / 2);
    EXPECT_TRUE(within(1000, [&] { return looksLike(edge(save), HoverEdge); }));
    Sleep(400);
    EXPECT_TRUE(looksLike(edge(save), HoverEdge)) << "the highlight stays while the pointer rests";
    SetCursorPos(5, 5);
    EXPECT_TRUE(within(200, [&] { return looksLike(edge(save), NormalEdge); })) << "the highlight outlasts the pointer";

    // Enter in the track box changes nothing; a half track saves rounded to even, beside the other
    // section, with the last of the screens list (a scene of its own on each monitor) and at most 30 frames a
    // second chosen with the keyboard, and the battery saver off by a click on its text.
    std::string ini = run.iniBytes();
    run.typeTrack(L"3.5");
    pressKey(VK_RETURN);
    clickCentre(run.screensBox());
    for (int k = 0; k < 3; ++k) pressKey(VK_DOWN);
    pressKey(VK_RETURN);
    clickCentre(run.frameRateBox());
    pressKey(VK_DOWN);
    pressKey(VK_DOWN);
    pressKey(VK_RETURN);
    clickCentre(run.label(L"バッテリー駆動中は 30 コマ/秒まで"));
    Sleep(500);
    EXPECT_TRUE(run.scr.running() && run.iniBytes() == ini) << "Enter closed the dialog or saved";
    clickCentre(save);
    ASSERT_TRUE(run.scr.waitExit(WaitMs));
    ini = run.iniBytes();
    EXPECT_EQ(storedValues(ini), (Values{"1", "4", "", "3", "30", "0"}));
    EXPECT_NE(ini.find(otherSection), std::string::npos) << ini;

    // Loaded again; a right-click on the file choice's label enables the file button only, and a file
    // typed into the open-file dialog is saved with its path. Enter on the path box changes nothing.
    ASSERT_NE(run.open(), nullptr);
    EXPECT_TRUE(textOf(run.trackBox()) == L"4" && SendMessageW(run.screensBox(), CB_GETCURSEL, 0, 0) == 3);
    EXPECT_TRUE(SendMessageW(run.frameRateBox(), CB_GETCURSEL, 0, 0) == 2 &&
                SendMessageW(run.batteryBox(), BM_GETCHECK, 0, 0) == BST_UNCHECKED) << "frame rate or battery saver";
    clickCentre(run.label(FileChoice), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    EXPECT_TRUE(within(1000, [&] { return IsWindowEnabled(run.button(L"...")) && !IsWindowEnabled(run.trackBox()); }));
    EXPECT_TRUE(looksLike(edge(run.button(L"...")), NormalEdge)) << "the enabled file button looks disabled";
    clickCentre(run.button(L"..."));
    ASSERT_TRUE(SetForegroundWindow(waitForWindow(nullptr, L"ﾌｧｲﾙを開く", WaitMs)));
    const std::wstring song = dir.file(L"typed.mp3");  // need not exist: the typed name is taken
    Sleep(800);
    typeText(song);
    pressKey(VK_RETURN);
    ASSERT_TRUE(within(WaitMs, [&] { return run.label(song.c_str()) != nullptr; })) << "no path shown";
    clickCentre(run.label(song.c_str()));
    pressKey(VK_RETURN);
    Sleep(500);
    EXPECT_TRUE(run.scr.running() && run.iniBytes() == ini) << "Enter closed the dialog or saved";
    clickCentre(run.button(Save));
    ASSERT_TRUE(run.scr.waitExit(WaitMs));
    ini = run.iniBytes();
    EXPECT_EQ(storedValues(ini), (Values{"2", "4", std::string(song.begin(), song.end()), "3", "30", "0"}));

    // With the disk full, a save (as a left-click on the CD choice's label asks) is reported with the file's
    // path and keeps the dialog open, leaving the old file as it was, or none for a first save, and no other;
    // with room again, Esc closes without saving.
    for (bool first : {false, true}) {
        if (first) DeleteFileW(run.iniPath().c_str());
        ini = run.iniBytes();
        fillDisk(dir);
        ASSERT_NE(run.open(), nullptr);
        clickCentre(run.label(Cd));
        EXPECT_TRUE(within(1000, [&] { return IsWindowEnabled(run.trackBox()) != 0; }));
        run.saveFails(Save, L"Lumivane (ScreenSaver)", L"書き込めません:\n");
        EXPECT_EQ(run.iniBytes(), ini);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), first ? 3 : 4) << "a file left";
        DeleteFileW(dir.file(L"filler").c_str());
        pressKey(VK_ESCAPE);
        EXPECT_TRUE(run.scr.waitExit(WaitMs)) << "Esc did not close the dialog";
        EXPECT_EQ(run.iniBytes(), ini);
    }
}

// A copy in the system folder, its settings in %APPDATA%\Lumivane: each run finds the track the one before saved,
// types another and saves it, rounded to even, or leaves by Cancel or the title bar; then a missing renderer.
TEST(SettingsDialogTexts, DialogAndMessageSpeakTheInterfaceLanguageAndTheUsersSettingsServeBothCodePages) {
    const HMODULE module = LoadLibraryExW((distDir() + L"\\Lumivane.scr").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    wchar_t system[MAX_PATH] = {}, appData[MAX_PATH] = {};
    ASSERT_TRUE(module && GetSystemDirectoryW(system, MAX_PATH));
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appData), S_OK);
    const std::wstring userIni = std::wstring(appData) + L"\\Lumivane\\Lumivane.ini";
    const std::string path = "C:\\windows\\win.ini";  // a music file that exists
    std::filesystem::create_directories(std::filesystem::path(userIni).parent_path());
    ASSERT_TRUE(writeFileBytes(userIni, iniText(" 1", " 12", path)));
    DialogRun run(system, "");
    const struct { const char* locale; TextLanguage language; const wchar_t *typed, *saved; unsigned close; } runs[] = {
        {"ja_JP.UTF-8", TextLanguage::Japanese, L"2.5", L"2", TEXT_SAVE},
        {"en_US.UTF-8", TextLanguage::English, L"3.5", L"4", TEXT_SAVE},
        {"ja_JP.UTF-8", TextLanguage::Japanese, L"7", L"4", 0},
        {"de_DE.UTF-8", TextLanguage::English, L"7", L"4", TEXT_CANCEL}};
    std::wstring track = L"12";
    for (const auto& step : runs) {
        SCOPED_TRACE(step.locale);
        ASSERT_NE(run.open(step.locale), nullptr);
        // Each text, in the interface language and never empty, on a label, a button or a list.
        for (unsigned id : {TEXT_MUSIC_HEADING, TEXT_SOURCE_NONE, TEXT_SOURCE_CD, TEXT_SOURCE_FILE, TEXT_REPEAT_TRACK,
                            TEXT_SCREENS, TEXT_CHOOSE_FILE, TEXT_MORE_WORKS, TEXT_SAVE, TEXT_CANCEL, TEXT_FRAME_RATE,
                            TEXT_BATTERY_SAVER}) {
            const std::wstring text = tableText(module, id, step.language);
            const bool english = std::all_of(text.begin(), text.end(), [](wchar_t c) { return c < 0x80; });
            EXPECT_TRUE(!text.empty() && (english || step.language == TextLanguage::Japanese) &&
                        (run.label(text.c_str()) || run.button(text.c_str()))) << id;
        }
        // Each list's entries in the order of the values they save.
        const struct { HWND box; std::vector<unsigned> ids; } lists[] = {
            {run.screensBox(), {TEXT_SCREENS_EVERY, TEXT_SCREENS_PRIMARY, TEXT_SCREENS_SPAN, TEXT_SCREENS_OWN}},
            {run.frameRateBox(), {TEXT_FRAME_RATE_DISPLAY, TEXT_FRAME_RATE_60, TEXT_FRAME_RATE_30}}};
        for (const auto& list : lists) {
            EXPECT_EQ(SendMessageW(list.box, CB_GETCOUNT, 0, 0), LRESULT(list.ids.size()));
            for (size_t k = 0; k < list.ids.size(); ++k) {
                wchar_t entry[100] = {};
                SendMessageW(list.box, CB_GETLBTEXT, k, reinterpret_cast<LPARAM>(entry));
                EXPECT_EQ(entry, tableText(module, list.ids[k], step.language)) << "entry " << k;
            }
        }
        saveScreenshot(step.locale);
        EXPECT_TRUE(IsWindowEnabled(run.trackBox()) && textOf(run.trackBox()) == track) << "the settings did not load";
        const std::string before = readFileBytes(userIni);
        run.typeTrack(step.typed);
        if (step.close) clickCentre(run.button(tableText(module, step.close, step.language).c_str()));
        if (!step.close) PostMessageW(run.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        ASSERT_TRUE(run.scr.waitExit(WaitMs));
        const std::string ini = readFileBytes(userIni);
        EXPECT_TRUE(step.close == TEXT_SAVE || ini == before) << "a close without saving wrote";
        track = step.saved;
        EXPECT_EQ(storedValues(ini), (Values{"1", std::string(track.begin(), track.end()), path, "0", "0", "1"}));
    }

    // Without the renderer the program says so in the interface language, and ends.
    ASSERT_TRUE(DeleteFileW(run.file(L"Lumivane.dll").c_str()));
    for (const auto& step : {runs[0], runs[1]}) {
        HWND box = run.open(step.locale, tableText(module, TEXT_APPLICATION_TITLE, step.language).c_str());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(messageText(box), tableText(module, TEXT_RENDERER_MISSING, step.language));
        EXPECT_TRUE(run.scr.waitExit(WaitMs));
    }
    std::filesystem::remove_all(std::filesystem::path(userIni).parent_path());
}

// A window of this test on a thread of its own that answers its messages, as the system's screensaver
// settings answer theirs; ended by a close message.
class OwnerWindow {
public:
    OwnerWindow() {
        thread_ = std::thread([this] {
            HWND window = CreateWindowExW(0, L"STATIC", L"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 80, 60, 400, 300,
                                          nullptr, nullptr, nullptr, nullptr);
            hwnd_ = window;
            MSG msg;
            while (IsWindow(window) && GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
        });
        within(5000, [this] { return hwnd_.load() != nullptr; });
    }
    ~OwnerWindow() {
        close();
        thread_.join();
    }
    HWND hwnd() const { return hwnd_; }
    void close() { PostMessageW(hwnd_, WM_CLOSE, 0, 0); }

private:
    std::atomic<HWND> hwnd_{nullptr};
    std::thread thread_;
};

// Whether `above` lies above `below` in the order of the top-level windows.
bool liesAbove(HWND above, HWND below) {
    for (HWND w = GetWindow(below, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) {
        if (w == above) return true;
    }
    return false;
}

// Windows' screensaver settings pass their window as /c:<hwnd>: the dialog is owned by it, above it and keeps it
// disabled while open, gives it back on Esc, and ends unsaved when it goes. A handle that names no window, or no
// longer names one, opens the dialog on its own.
TEST(SettingsDialogOwner, IsModalToTheWindowOnItsCommandLineAndEndsWithIt) {
    TempDir dir(L"owner");
    const std::string ini = iniText(" 1", " 3", "");
    DialogRun run(dir.path(), ini);
    HWND stale = nullptr;
    {
        OwnerWindow owner;
        ASSERT_NE(owner.hwnd(), nullptr);
        const std::wstring args = L"/c:" + std::to_wstring(reinterpret_cast<LONG_PTR>(owner.hwnd()));
        for (bool ownerGoes : {false, true}) {
            SCOPED_TRACE(ownerGoes ? "the owner goes" : "Esc");
            ASSERT_NE(run.open("", SettingsDialogTitle, args), nullptr);
            EXPECT_EQ(GetWindow(run.hwnd, GW_OWNER), owner.hwnd()) << "the dialog is not the owner's";
            EXPECT_FALSE(IsWindowEnabled(owner.hwnd())) << "the owner takes input while the dialog is open";
            EXPECT_TRUE(liesAbove(run.hwnd, owner.hwnd())) << "the dialog lies under its owner";
            if (ownerGoes) {
                stale = owner.hwnd();
                owner.close();
                EXPECT_TRUE(run.scr.waitExit(1000)) << "the dialog outlived its owner by a second";
            } else {
                SetForegroundWindow(run.hwnd);
                pressKey(VK_ESCAPE);
                EXPECT_TRUE(run.scr.waitExit(WaitMs)) << "Esc did not close the dialog";
                EXPECT_TRUE(IsWindowEnabled(owner.hwnd())) << "the owner was left disabled";
            }
            EXPECT_EQ(run.iniBytes(), ini) << "saved without a save";
        }
    }
    ASSERT_FALSE(IsWindow(stale));
    for (const std::wstring& args : {L"/c:" + std::to_wstring(reinterpret_cast<LONG_PTR>(stale)), std::wstring(L"/c:999999")}) {
        SCOPED_TRACE(std::string(args.begin(), args.end()));
        ASSERT_NE(run.open("", SettingsDialogTitle, args), nullptr) << "a bad handle keeps the dialog out";
        EXPECT_EQ(GetWindow(run.hwnd, GW_OWNER), nullptr);
        SetForegroundWindow(run.hwnd);
        pressKey(VK_ESCAPE);
        EXPECT_TRUE(run.scr.waitExit(WaitMs)) << "Esc did not close the dialog";
    }
}

// Points the user's application-data folder elsewhere for as long as it lives, as the system would name it for a
// user of that name.
class UserFolder {
public:
    explicit UserFolder(const std::wstring& folder) {
        RegOpenKeyExW(HKEY_CURRENT_USER, ShellFolders, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key_);
        DWORD bytes = sizeof old_;
        had_ = RegQueryValueExW(key_, L"AppData", nullptr, &type_, reinterpret_cast<BYTE*>(old_), &bytes) == 0;
        set(REG_EXPAND_SZ, folder.c_str(), folder.size());
    }
    ~UserFolder() {
        if (had_) set(type_, old_, wcslen(old_));
        if (!had_) RegDeleteValueW(key_, L"AppData");
        RegCloseKey(key_);
    }

private:
    static constexpr wchar_t ShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    void set(DWORD type, const wchar_t* text, size_t length) {
        RegSetValueExW(key_, L"AppData", 0, type, reinterpret_cast<const BYTE*>(text), DWORD((length + 1) * sizeof(wchar_t)));
    }
    HKEY key_ = nullptr;
    DWORD type_ = REG_EXPAND_SZ;
    bool had_ = false;
    wchar_t old_[MAX_PATH] = {};
};

// A portable copy in a folder nobody can write (a read-only mount, where even an administrator's file is refused)
// keeps its settings in %APPDATA%\Lumivane: they load from there and a save goes there, without a failure; also
// under an English interface for a user whose folder's name the English code page cannot spell, and through a
// second name (a hard link) of the file, which then still shows the saved settings.
TEST(SettingsDialogReadOnlyFolder, KeepsTheSettingsInTheUsersFolderWhateverItsName) {
    const std::wstring folder = fromUnixPath(LUMIVANE_READ_ONLY_UNIX);
    ASSERT_FALSE(writeFileBytes(folder + L"\\probe", "x")) << folder << " can be written";
    wchar_t appData[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appData), S_OK);
    const std::wstring unspelled = std::wstring(appData) + L"\\ユーザー\\AppData";
    for (const std::wstring& user : {std::wstring(appData), unspelled}) {
        SCOPED_TRACE(std::string(user.begin(), user.end()));
        const UserFolder named(user);
        const std::wstring userIni = user + L"\\Lumivane\\Lumivane.ini", other = user + L"\\Lumivane\\other.ini";
        std::filesystem::create_directories(std::filesystem::path(userIni).parent_path());
        ASSERT_TRUE(writeFileBytes(userIni, iniText(" 1", " 12", "")));
        ASSERT_TRUE(user == appData || CreateHardLinkW(other.c_str(), userIni.c_str(), nullptr));
        DialogRun run(folder, "", true);
        ASSERT_NE(run.open("en_US.UTF-8"), nullptr);
        EXPECT_EQ(textOf(run.trackBox()), L"12") << "the user's settings did not load";
        run.typeTrack(L"5");
        clickCentre(run.button(L"OK"));  // the save button, in English
        EXPECT_TRUE(run.scr.waitExit(WaitMs)) << "the save failed";
        EXPECT_EQ(storedValues(readFileBytes(userIni)), (Values{"1", "5", "", "0", "0", "1"}));
        EXPECT_TRUE(user == appData || readFileBytes(other) == readFileBytes(userIni)) << "the second name was cut off";
        std::filesystem::remove_all(std::filesystem::path(user == appData ? userIni : user).parent_path());
    }
}

// The lines the eight scene keys take in a settings file, in knob order, each number after a blank.
std::string sceneLines(const SceneSettings& scene) {
    std::string lines;
    for (int32_t k = 0; k < SceneKnobCount; ++k) {
        lines += std::string(SceneKnobs[k].key) + "= " + std::to_string(knobValue(scene, static_cast<SceneKnob>(k))) +
                 "\r\n";
    }
    return lines;
}
// The Scene dialog's sliders, top to bottom.
std::vector<HWND> sliders(HWND dialog) {
    std::vector<HWND> found;
    for (HWND s = nullptr; (s = FindWindowExW(dialog, s, L"msctls_trackbar32", nullptr));) found.push_back(s);
    return found;
}
// Pixels the picture lights `ms` after it started again: the middle of five reads 100 ms apart, so that
// one read the screen copied out half-drawn does not decide.
int litAfter(HWND picture, DWORD ms) {
    Sleep(ms);
    int reads[5];
    for (int& read : reads) read = litPixels(screenRect(picture)), Sleep(100);
    std::nth_element(reads, reads + 2, reads + 5);
    return reads[2];
}

// The Scene dialog of the real program, opened from its button: a preset chosen with the mouse and the keyboard,
// the particle slider moved by keys and the size slider by a click; the live picture lights more at the most
// particles than at the fewest. OK writes the eight keys after the others, whose bytes stay; Cancel writes nothing.
TEST(SceneDialog, PresetAndSlidersChosenByMouseAndKeysAreSavedByOkOnlyAndThePictureFollows) {
    TempDir dir(L"scene");
    const std::string old = iniText(" 1", " 45", "") + "Screens= 1\r\n";
    DialogRun run(dir.path(), old);
    ASSERT_NE(run.open(), nullptr);
    HWND sceneButton = run.button(L"シーン…");
    ASSERT_NE(sceneButton, nullptr);
    clickCentre(sceneButton);
    HWND scene = waitForWindow(SceneDialogClassName, nullptr, WaitMs);
    ASSERT_NE(scene, nullptr);
    EXPECT_EQ(textOf(scene), L"シーン");
    EXPECT_FALSE(IsWindowEnabled(run.hwnd)) << "the settings dialog takes input while the Scene dialog shows";
    std::vector<HWND> slider = sliders(scene);
    ASSERT_EQ(slider.size(), size_t(SceneSliderCount));
    HWND picture = nullptr;
    ASSERT_TRUE(within(WaitMs, [&] { return (picture = FindWindowW(PreviewClassName, nullptr)) != nullptr; }));
    const auto position = [&](SceneKnob k) { return SendMessageW(slider[size_t(k)], TBM_GETPOS, 0, 0); };
    EXPECT_EQ(position(SceneKnob::Particles), 1000) << "a file without the scene keys shows the standard scene";

    // The preset list has the focus: its second entry (calm), by a click that opens it, Down and Enter,
    // which closes the list and not the dialog.
    HWND presets = FindWindowExW(scene, nullptr, L"ComboBox", nullptr);
    clickCentre(presets);
    pressKey(VK_DOWN);
    pressKey(VK_RETURN);
    SceneSettings expected = ScenePresets[1].settings;
    EXPECT_TRUE(within(2000, [&] { return position(SceneKnob::Particles) == expected.ParticleCount; }));
    EXPECT_TRUE(IsWindow(scene) && run.iniBytes() == old) << "Enter on the open list closed the dialog or saved";

    // Tab past the colour list to the particle slider: Home is the fewest, End the most, Left a step back.
    pressKey(VK_TAB);
    pressKey(VK_TAB);
    pressKey(VK_HOME);
    EXPECT_TRUE(within(2000, [&] { return position(SceneKnob::Particles) == 50; }));
    // Each count starts the scene again from the same seed: at the same time after it, the most light more.
    const int fewest = litAfter(picture, PictureSettleMs);
    pressKey(VK_END);
    EXPECT_TRUE(within(2000, [&] { return position(SceneKnob::Particles) == 5000; }));
    const int most = litAfter(picture, PictureSettleMs);
    EXPECT_GT(most, 2 * fewest + 50) << "pixels lit at 50 particles " << fewest << ", at 5000 " << most;
    saveScreenshot("scene");
    pressKey(VK_LEFT);
    setKnobValue(expected, SceneKnob::Particles, 4950);
    EXPECT_TRUE(within(2000, [&] { return position(SceneKnob::Particles) == 4950; }));
    // The size slider's thumb dragged past the slider's right end: the most.
    const RECT size = screenRect(slider[size_t(SceneKnob::Size)]);
    const SceneKnobInfo& sizeKnob = SceneKnobs[size_t(SceneKnob::Size)];
    const int travel = size.right - size.left - 2 * SliderThumbInset, y = (size.top + size.bottom) / 2;
    const int thumb = size.left + SliderThumbInset +
                      travel * (expected.SizeScale - sizeKnob.low) / (sizeKnob.high - sizeKnob.low);
    SetCursorPos(thumb, y);
    Sleep(150);
    mouseButton(MOUSEEVENTF_LEFTDOWN, 0);
    for (int x = thumb; x <= size.right + 20; x += 10, Sleep(20)) SetCursorPos(x, y);
    mouseButton(MOUSEEVENTF_LEFTUP, 0);
    setKnobValue(expected, SceneKnob::Size, sizeKnob.high);
    EXPECT_TRUE(within(2000, [&] { return position(SceneKnob::Size) == expected.SizeScale; }))
        << "the size slider shows " << position(SceneKnob::Size);

    // Enter is OK: the settings dialog is back, the file holds the old bytes and then the eight keys.
    pressKey(VK_RETURN);
    EXPECT_TRUE(within(WaitMs, [&] { return !IsWindow(scene) && IsWindowEnabled(run.hwnd); }));
    const std::string saved = old + sceneLines(expected);
    EXPECT_EQ(run.iniBytes(), saved);
    const std::string afterOk = run.iniBytes();

    // Shown again with the saved settings; a slider moved and Esc: nothing written, and the settings
    // dialog's Cancel writes nothing either.
    SetForegroundWindow(run.hwnd);
    clickCentre(sceneButton);
    scene = waitForWindow(SceneDialogClassName, nullptr, WaitMs);
    ASSERT_NE(scene, nullptr);
    slider = sliders(scene);
    EXPECT_TRUE(position(SceneKnob::Particles) == 4950 && position(SceneKnob::Size) == expected.SizeScale);
    pressKey(VK_TAB);
    pressKey(VK_TAB);
    pressKey(VK_HOME);
    EXPECT_TRUE(within(2000, [&] { return position(SceneKnob::Particles) == 50; }));
    pressKey(VK_ESCAPE);
    EXPECT_TRUE(within(WaitMs, [&] { return !IsWindow(scene) && IsWindowEnabled(run.hwnd); }));
    EXPECT_EQ(run.iniBytes(), afterOk);
    pressKey(VK_ESCAPE);
    ASSERT_TRUE(run.scr.waitExit(WaitMs));
    EXPECT_EQ(run.iniBytes(), afterOk);
}

// GDI objects this process holds; where GetGuiResources is a stub (Wine), every handle value Wine takes is tried.
DWORD gdiObjects() {
    SetLastError(0);
    DWORD live = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const bool stub = live == 0 && GetLastError() == ERROR_CALL_NOT_IMPLEMENTED;
    for (UINT_PTR handle = 1; stub && handle < 0x10000; ++handle) live += GetObjectType(HGDIOBJ(handle)) != 0;
    return live;
}

TEST(SettingsDialogResources, FiftyShowingsLeakNoGdiObject) {
    ShellSettings settings{MusicSourceFile, 0, "C:\\music\\loop.wav", 0};
    DWORD before = 0;
    for (int showing = 0; showing <= 50; ++showing) {
        std::thread close([] { PostMessageW(waitForWindow(nullptr, SettingsDialogTitle, WaitMs), WM_CLOSE, 0, 0); });
        showSettingsDialog(GetModuleHandleW(nullptr), settings);
        close.join();
        before = showing == 0 ? gdiObjects() : before;  // the first showing fills the system's caches (fonts, icons)
    }
    EXPECT_GT(before, 0u);
    EXPECT_EQ(gdiObjects(), before);
}

}  // namespace
