// The settings dialog of the real Lumivane.scr /c, driven with real input and read back from the screen.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/win_test_support.h"

using namespace wintest;

namespace {

constexpr wchar_t kTitle[] = L"<Lumivane>";
constexpr wchar_t kDialogClass[] = L"Glimra_P";
constexpr wchar_t kPanelClass[] = L"Glimra.Panel";
constexpr wchar_t kLabelClass[] = L"Glimra.Label";
constexpr wchar_t kCommandClass[] = L"Glimra.Command";
constexpr wchar_t kMessageTitle[] = L"Lumivane (ScreenSaver)";
constexpr wchar_t kFileDialogTitle[] = L"ﾌｧｲﾙを開く";
constexpr DWORD kStartMs = 15000;

// Key names as the settings file holds them (Shift-JIS bytes).
const std::string kKeyKind = "BGM\x8B\xE6\x95\xAA";
const std::string kKeyRepeat = "BGM\xD8\xCB\xDF\xB0\xC4";
const std::string kKeyFile = "BGM\xCC\xA7\xB2\xD9";

std::string iniText(const std::string& kind, const std::string& repeat, const std::string& file) {
    return "[Section]\r\n" + kKeyKind + "=" + kind + "\r\n" + kKeyRepeat + "=" + repeat + "\r\n" + kKeyFile + "=" +
           file + "\r\n";
}

std::string narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += static_cast<char>(c);
    return out;
}

// The value of one key in a settings file's bytes; "<missing>" when the key is not there.
std::string valueOf(const std::string& ini, const std::string& key) {
    size_t at = ini.find("\n" + key + "=");
    if (at == std::string::npos) return "<missing>";
    size_t start = at + key.size() + 2;
    size_t end = ini.find_first_of("\r\n", start);
    return ini.substr(start, end - start);
}

// A stored number without its leading blank: the program writes " 2", and Wine's profile
// writer drops blanks at the start of a value where Windows keeps them.
std::string storedNumber(const std::string& ini, const std::string& key) {
    std::string value = valueOf(ini, key);
    return value.size() > 1 && value[0] == ' ' ? value.substr(1) : value;
}

struct Rgb {
    int r, g, b;
};

Rgb screenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

// One pixel of a picture of the source tree's assets folder.
Rgb assetPixel(const wchar_t* name, int x, int y) {
    std::wstring path = sourceDir() + L"\\assets\\" + name;
    auto bmp = static_cast<HBITMAP>(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    EXPECT_NE(bmp, nullptr) << narrow(path);
    if (!bmp) return {-1, -1, -1};
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bmp);
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

bool looksLike(Rgb a, Rgb b, int tolerance = 8) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

std::string describe(Rgb c) {
    return "(" + std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b) + ")";
}

// Screen rectangle of a window.
RECT screenRect(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

void clickAt(int x, int y, DWORD down = MOUSEEVENTF_LEFTDOWN, DWORD up = MOUSEEVENTF_LEFTUP) {
    moveMouseTo(x, y);
    Sleep(150);
    mouseButton(down, up);
    Sleep(150);
}

void clickCentre(HWND w, DWORD down = MOUSEEVENTF_LEFTDOWN, DWORD up = MOUSEEVENTF_LEFTUP) {
    RECT r = screenRect(w);
    clickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2, down, up);
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

// Polls a condition for up to `ms`; true as soon as it holds.
template <typename Condition>
bool within(DWORD ms, Condition condition) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= ms) return false;
        Sleep(10);
    }
}

// A folder with Lumivane.scr, a stand-in renderer and a settings file; the dialog opened with /c.
class DialogRun {
public:
    explicit DialogRun(const std::string& ini) : dir_(L"dialog") {
        EXPECT_TRUE(dir_.copyIn(L"Lumivane.scr", L"Lumivane.scr"));
        EXPECT_TRUE(writeFileBytes(dir_.file(L"Lumivane.dll"), "MZ stand-in"));
        EXPECT_TRUE(writeFileBytes(dir_.file(L"Lumivane.ini"), ini));
        // Keep the pointer away from where the dialog will open.
        moveMouseTo(5, 5);
    }
    ~DialogRun() {
        SetFileAttributesW(ini().c_str(), FILE_ATTRIBUTE_NORMAL);
        scr_.kill();
    }

    // Starts /c and waits for the dialog to be shown and painted.
    HWND open() {
        EXPECT_TRUE(scr_.start(dir_.file(L"Lumivane.scr"), L"/c"));
        hwnd_ = waitForWindow(kDialogClass, kTitle, kStartMs);
        EXPECT_NE(hwnd_, nullptr);
        if (hwnd_) within(5000, [&] { return IsWindowVisible(hwnd_) != 0; });
        Sleep(500);
        return hwnd_;
    }

    const TempDir& dir() const { return dir_; }
    std::wstring ini() const { return dir_.file(L"Lumivane.ini"); }
    Process& process() { return scr_; }
    HWND hwnd() const { return hwnd_; }
    HWND panel() const { return FindWindowExW(hwnd_, nullptr, kPanelClass, nullptr); }
    HWND combo() const { return FindWindowExW(panel(), nullptr, L"ComboBox", nullptr); }
    HWND label(const wchar_t* text) const { return FindWindowExW(panel(), nullptr, kLabelClass, text); }
    HWND button(const wchar_t* caption) const {
        HWND b = FindWindowExW(hwnd_, nullptr, kCommandClass, caption);
        return b ? b : FindWindowExW(panel(), nullptr, kCommandClass, caption);
    }
    HWND fileLabel() const {
        // The bordered label is the only one taller than a line of text.
        for (HWND w = FindWindowExW(panel(), nullptr, kLabelClass, nullptr); w;
             w = FindWindowExW(panel(), w, kLabelClass, nullptr)) {
            RECT r = screenRect(w);
            if (r.bottom - r.top > 20) return w;
        }
        return nullptr;
    }
    // The radio mark left of a choice label, as the screen shows it (its centre pixel).
    Rgb markCentre(const wchar_t* choice) const {
        RECT r = screenRect(label(choice));
        return screenPixel(r.left - 16 + 6, r.top + 6);
    }

private:
    TempDir dir_;
    Process scr_;
    HWND hwnd_ = nullptr;
};

// Frame pixels that tell the six state pictures apart: outer line of the left edge.
Rgb buttonEdge(HWND button) {
    RECT r = screenRect(button);
    return screenPixel(r.left, (r.top + r.bottom) / 2);
}
Rgb pictureEdge(const wchar_t* picture) { return assetPixel(picture, 0, 12); }

// Another process's combo box answers WM_GETTEXT with its edit field; never wait on a busy program.
void comboText(HWND combo, wchar_t (&text)[32]) {
    text[0] = 0;
    DWORD_PTR result = 0;
    SendMessageTimeoutW(combo, WM_GETTEXT, 32, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &result);
}

int countTopLevel(const wchar_t* title) {
    struct Count {
        const wchar_t* title;
        int n;
    } count{title, 0};
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            auto* c = reinterpret_cast<Count*>(p);
            wchar_t text[64] = {};
            GetWindowTextW(w, text, 64);
            if (IsWindowVisible(w) && lstrcmpW(text, c->title) == 0) ++c->n;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count.n;
}

}  // namespace

TEST(SettingsDialog, OpensOneWindowWithItsClientSizeAtItsPlace) {
    DialogRun run(iniText(" 0", " 0", ""));
    HWND dlg = run.open();
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(countTopLevel(kTitle), 1);
    RECT client{};
    GetClientRect(dlg, &client);
    EXPECT_EQ(client.right, 479);
    EXPECT_EQ(client.bottom, 252);
    RECT outer = screenRect(dlg);
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_NEAR(outer.left, (screenW - width) / 2, 1);
    EXPECT_NEAR(outer.top, (screenH - height) / 3, 1);
    // No minimise or maximise box.
    LONG_PTR style = GetWindowLongPtrW(dlg, GWL_STYLE);
    EXPECT_FALSE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    // A second /c while the dialog is open ends at once.
    Process second;
    ASSERT_TRUE(second.start(run.dir().file(L"Lumivane.scr"), L"/c"));
    EXPECT_TRUE(second.waitExit(10000));
    EXPECT_EQ(countTopLevel(kTitle), 1);
}

TEST(SettingsDialog, BackgroundGradientsFollowTheSineRule) {
    DialogRun run(iniText(" 0", " 0", ""));
    HWND dlg = run.open();
    ASSERT_NE(dlg, nullptr);
    POINT origin{0, 0};
    ClientToScreen(dlg, &origin);
    // Dialog: dark blue at the top, pale lavender in the middle (left margin, outside the panel).
    EXPECT_TRUE(looksLike(screenPixel(origin.x + 4, origin.y + 0), {0, 0, 30}, 3))
        << describe(screenPixel(origin.x + 4, origin.y));
    EXPECT_TRUE(looksLike(screenPixel(origin.x + 4, origin.y + 126), {220, 220, 250}, 3))
        << describe(screenPixel(origin.x + 4, origin.y + 126));
    // Panel: grey, palest in its middle row (169 / 2), at a spot no control covers.
    RECT panel = screenRect(run.panel());
    Rgb mid = screenPixel(panel.right - 8, panel.top + 84);
    EXPECT_TRUE(looksLike(mid, {250, 250, 250}, 3)) << describe(mid);
    Rgb top = screenPixel(panel.right - 8, panel.top);
    EXPECT_TRUE(looksLike(top, {30, 30, 30}, 3)) << describe(top);
    // Covered and uncovered, the gradient comes back.
    HWND cover = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, panel.left, panel.top, 300,
                                 120, nullptr, nullptr, nullptr, nullptr);
    pump(300);
    DestroyWindow(cover);
    EXPECT_TRUE(within(2000, [&] { return looksLike(screenPixel(panel.left + 250, panel.top + 84), {250, 250, 250}, 3); }))
        << describe(screenPixel(panel.left + 250, panel.top + 84));
}

TEST(SettingsDialog, CdSourceAtLoadEnablesTheTrackBoxOnly) {
    DialogRun run(iniText(" 1", " 45", ""));
    ASSERT_NE(run.open(), nullptr);
    HWND fileButton = run.button(L"...");
    ASSERT_NE(fileButton, nullptr);
    ASSERT_NE(run.combo(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(run.combo()));
    EXPECT_FALSE(IsWindowEnabled(fileButton));
    // 45 lies outside the list and still shows.
    wchar_t text[32] = {};
    comboText(run.combo(), text);
    EXPECT_STREQ(text, L"45");
    DWORD_PTR entries = 0;
    SendMessageTimeoutW(run.combo(), CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &entries);
    EXPECT_EQ(entries, 31u);
    // The file button is painted from the Disable picture.
    EXPECT_TRUE(looksLike(buttonEdge(fileButton), pictureEdge(L"button_disable.bmp"), 2))
        << describe(buttonEdge(fileButton));
    // The CD mark shows the chosen picture, the others the plain one.
    Rgb on = assetPixel(L"radio_on.bmp", 6, 6), off = assetPixel(L"radio_off.bmp", 6, 6);
    EXPECT_TRUE(looksLike(run.markCentre(L"音楽CD"), on, 2)) << describe(run.markCentre(L"音楽CD"));
    EXPECT_TRUE(looksLike(run.markCentre(L"無し"), off, 2)) << describe(run.markCentre(L"無し"));
    EXPECT_TRUE(looksLike(run.markCentre(L"MP3、WAV"), off, 2));

    // A half track rounds to the even neighbour when saving.
    RECT c = screenRect(run.combo());
    clickAt(c.left + 10, (c.top + c.bottom) / 2);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(run.combo(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""), SMTO_ABORTIFHUNG, 2000, &ignored);
    for (WORD key : {WORD('3'), WORD(VK_OEM_PERIOD), WORD('5')}) {
        pressKey(key);
        Sleep(40);
    }
    EXPECT_TRUE(within(2000, [&] {
        comboText(run.combo(), text);
        return lstrcmpW(text, L"3.5") == 0;
    })) << narrow(text);
    clickCentre(run.button(L"設定"));
    ASSERT_TRUE(run.process().waitExit(10000));
    std::string ini = readFileBytes(run.ini());
    EXPECT_EQ(storedNumber(ini, kKeyKind), "1");
    EXPECT_EQ(storedNumber(ini, kKeyRepeat), "4");
    EXPECT_EQ(valueOf(ini, kKeyFile), "");
}

TEST(SettingsDialog, FileSourceAtLoadEnablesTheFileButtonOnly) {
    DialogRun run("");
    std::wstring song = run.dir().file(L"song.mp3");
    ASSERT_TRUE(writeFileBytes(song, "ID3"));
    ASSERT_TRUE(writeFileBytes(run.ini(), iniText(" 2", " 0", narrow(song))));
    ASSERT_NE(run.open(), nullptr);
    HWND fileButton = run.button(L"...");
    EXPECT_TRUE(IsWindowEnabled(fileButton));
    EXPECT_FALSE(IsWindowEnabled(run.combo()));
    EXPECT_TRUE(looksLike(buttonEdge(fileButton), pictureEdge(L"button_normal.bmp"), 2)) << describe(buttonEdge(fileButton));
    wchar_t shown[300] = {};
    GetWindowTextW(run.fileLabel(), shown, 300);
    EXPECT_EQ(std::wstring(shown), song);
}

TEST(SettingsDialog, RightClickOnTheFileLabelThenSaveWritesKindTwoAndThePath) {
    DialogRun run("");
    std::wstring song = run.dir().file(L"tune.wav");
    ASSERT_TRUE(writeFileBytes(song, "RIFF"));
    // The path is kept from the file while the source is "none".
    ASSERT_TRUE(writeFileBytes(run.ini(), iniText(" 0", " 0", narrow(song))));
    ASSERT_NE(run.open(), nullptr);
    HWND fileButton = run.button(L"...");
    EXPECT_FALSE(IsWindowEnabled(fileButton));
    clickCentre(run.label(L"MP3、WAV"), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    EXPECT_TRUE(within(1000, [&] { return IsWindowEnabled(fileButton) != 0; }));
    EXPECT_FALSE(IsWindowEnabled(run.combo()));
    EXPECT_TRUE(looksLike(run.markCentre(L"MP3、WAV"), assetPixel(L"radio_on.bmp", 6, 6), 2));
    clickCentre(run.button(L"設定"));
    ASSERT_TRUE(run.process().waitExit(10000));
    std::string ini = readFileBytes(run.ini());
    EXPECT_EQ(storedNumber(ini, kKeyKind), "2");
    EXPECT_EQ(storedNumber(ini, kKeyRepeat), "0");
    EXPECT_EQ(valueOf(ini, kKeyFile), narrow(song));
}

TEST(SettingsDialog, FileChosenInTheOpenDialogShowsAndCancelLeavesTheFileUnchanged) {
    const std::string before = iniText(" 1", " 3", "") + "; hand-written note\r\n";
    DialogRun run(before);
    std::wstring song = run.dir().file(L"typed.mp3");
    ASSERT_NE(run.open(), nullptr);
    clickCentre(run.label(L"MP3、WAV"));
    HWND fileButton = run.button(L"...");
    ASSERT_TRUE(within(1000, [&] { return IsWindowEnabled(fileButton) != 0; }));
    clickCentre(fileButton);
    HWND chooser = waitForWindow(nullptr, kFileDialogTitle, 10000);
    ASSERT_NE(chooser, nullptr) << "no open-file dialog titled ﾌｧｲﾙを開く";
    Sleep(800);
    SetForegroundWindow(chooser);
    typeText(song);
    pressKey(VK_RETURN);
    // The file need not exist: the typed name is taken.
    ASSERT_TRUE(waitForNoWindow(nullptr, kFileDialogTitle, 10000));
    wchar_t shown[300] = {};
    EXPECT_TRUE(within(2000, [&] {
        GetWindowTextW(run.fileLabel(), shown, 300);
        return song == shown;
    })) << narrow(shown);
    clickCentre(run.button(L"ｷｬﾝｾﾙ"));
    ASSERT_TRUE(run.process().waitExit(10000));
    EXPECT_EQ(readFileBytes(run.ini()), before);
}

TEST(SettingsDialog, ClosingFromTheTitleBarWritesNothing) {
    DialogRun run("");  // no settings file at all
    DeleteFileW(run.ini().c_str());
    HWND dlg = run.open();
    ASSERT_NE(dlg, nullptr);
    clickCentre(run.label(L"音楽CD"));
    PostMessageW(dlg, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(run.process().waitExit(10000));
    EXPECT_EQ(GetFileAttributesW(run.ini().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(SettingsDialog, ReadOnlySettingsFileIsReportedAndTheDialogStaysOpen) {
    const std::string before = iniText(" 0", " 0", "");
    DialogRun run(before);
    ASSERT_TRUE(SetFileAttributesW(run.ini().c_str(), FILE_ATTRIBUTE_READONLY));
    // Run as root, Wine does not enforce the attribute; an open handle that shares reading only
    // makes the file unwritable for the program whoever runs the test.
    HANDLE lock = CreateFileW(run.ini().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    struct Closer {
        HANDLE h;
        ~Closer() { CloseHandle(h); }
    } closer{lock};
    HWND dlg = run.open();
    ASSERT_NE(dlg, nullptr);
    clickCentre(run.label(L"音楽CD"));
    clickCentre(run.button(L"設定"));
    HWND box = waitForWindow(nullptr, kMessageTitle, 5000);
    ASSERT_NE(box, nullptr) << "no failure message";
    // The message names the settings file.
    std::wstring message;
    for (HWND child = FindWindowExW(box, nullptr, L"Static", nullptr); child;
         child = FindWindowExW(box, child, L"Static", nullptr)) {
        wchar_t text[512] = {};
        GetWindowTextW(child, text, 512);
        message += text;
    }
    EXPECT_NE(message.find(run.ini()), std::wstring::npos) << narrow(message);
    EXPECT_NE(message.find(L"保存できません"), std::wstring::npos);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(waitForNoWindow(nullptr, kMessageTitle, 5000));
    Sleep(300);
    EXPECT_TRUE(IsWindow(dlg));
    EXPECT_TRUE(IsWindowVisible(dlg));
    EXPECT_TRUE(run.process().running());
    EXPECT_EQ(readFileBytes(run.ini()), before);
}

TEST(SettingsDialog, ButtonsShowHoverWhileThePointerRestsAndDropItWithin200ms) {
    DialogRun run(iniText(" 0", " 0", ""));
    ASSERT_NE(run.open(), nullptr);
    HWND set = run.button(L"設定");
    ASSERT_NE(set, nullptr);
    const Rgb normal = pictureEdge(L"button_normal.bmp");
    const Rgb highlight = pictureEdge(L"button_highlight.bmp");
    ASSERT_FALSE(looksLike(normal, highlight, 2));
    EXPECT_TRUE(looksLike(buttonEdge(set), normal, 2)) << describe(buttonEdge(set));

    // Normal face: white at the top, lavender grey at the bottom.
    RECT r = screenRect(set);
    const int x = r.left + 6;
    Rgb faceTop = screenPixel(x, r.top + 4), faceBottom = screenPixel(x, r.bottom - 6);
    EXPECT_TRUE(looksLike(faceTop, {255, 255, 255}, 12)) << describe(faceTop);
    EXPECT_TRUE(looksLike(faceBottom, {198, 197, 215}, 12)) << describe(faceBottom);
    EXPECT_GT(faceBottom.b, faceBottom.r + 8);

    moveMouseTo(x, (r.top + r.bottom) / 2);
    EXPECT_TRUE(within(1000, [&] { return looksLike(buttonEdge(set), highlight, 2); })) << describe(buttonEdge(set));
    // The hover face is turned over: lavender on top.
    Rgb hoverTop = screenPixel(x, r.top + 4);
    EXPECT_LT(hoverTop.r, 215) << describe(hoverTop);
    // Resting there keeps the look over several polling ticks.
    Sleep(400);
    EXPECT_TRUE(looksLike(buttonEdge(set), highlight, 2));

    moveMouseTo(5, 5);
    DWORD left = GetTickCount();
    ASSERT_TRUE(within(1000, [&] { return looksLike(buttonEdge(set), normal, 2); }));
    EXPECT_LT(GetTickCount() - left, 200u);
}
