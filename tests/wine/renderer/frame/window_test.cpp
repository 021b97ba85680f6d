// The real renderer driven with real input on two monitors, a 1024x768 primary and an 800x600
// monitor right of it: its window, the inputs that end it and the closes it ignores, a second
// renderer, a failed OpenGL set-up, its resources, the 9x password check and the scene on both.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "common/names.h"
#include "support/win_test_support.h"

namespace {

constexpr DWORD EndWithinMs = 1000;  // an input that ends the renderer ends its process within this
constexpr DWORD StaysMs = 700;       // an ignored input leaves it running at least this long
constexpr POINT PrimaryCentre{512, 384};
const wchar_t* const SaverClass = L"WindowsScreenSaverClass";
const std::wstring RendererExe = wintest::distDir() + L"\\" + RendererFileName;

// Pumps this thread's messages (the renderer sends some to the test's windows) until `done` holds,
// for up to `ms`; false when it never did.
bool pumpUntil(DWORD ms, const std::function<bool()>& done) {
    for (const DWORD start = GetTickCount(); !done(); wintest::pump(5)) {
        if (GetTickCount() - start >= ms) return false;
    }
    return true;
}

// Puts the pointer on pixel (x, y) of the 1824x768 desktop with a real move; false when it never gets there.
bool placeCursor(int x, int y) {
    INPUT in{INPUT_MOUSE, {}};
    in.mi = {MulDiv(2 * x + 1, 65536, 2 * 1824), MulDiv(2 * y + 1, 65536, 2 * 768), 0,
             MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK, 0, 0};
    SendInput(1, &in, sizeof in);
    POINT p{};
    return pumpUntil(1000, [&] { return GetCursorPos(&p) && p.x == x && p.y == y; });
}

// The top-level windows of the saver class that process `pid` owns.
std::vector<HWND> saverWindows(DWORD pid) {
    std::vector<HWND> found;
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, SaverClass, nullptr)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid) found.push_back(w);
    }
    return found;
}

// A real renderer; killed with the record.
struct Saver {
    wintest::Process process;
    HWND window = nullptr;

    // Starts `exe args` with the pointer at `pointer`, runs `beforeShown` once the window exists but
    // before it shows, and waits until it is in front and its start-up messages have passed. Checks
    // the window: the process's one, over the whole desktop, top-most, without a caption or a pointer.
    bool start(const wchar_t* args, POINT pointer = PrimaryCentre, const std::wstring& exe = RendererExe,
               const std::function<void()>& beforeShown = [] {}) {
        wchar_t title[64] = {};
        if (!placeCursor(pointer.x, pointer.y) || !process.start(exe, args) || !pumpUntil(20000, [&] {
                const std::vector<HWND> found = saverWindows(process.id());
                window = found.empty() ? nullptr : found.front();
                return !process.running() || (window && GetWindowTextW(window, title, 64) && SaverRunningTitleW == std::wstring(title));
            })) {
            return false;
        }
        beforeShown();
        if (!pumpUntil(5000, [&] { return GetForegroundWindow() == window; })) return false;
        wintest::pump(300);
        const RECT r = wintest::screenRect(window);
        EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right, r.bottom}), std::vector<LONG>({0, 0, 1824, 768}));
        EXPECT_EQ(saverWindows(process.id()).size(), 1u);
        EXPECT_EQ(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST, WS_EX_TOPMOST);
        EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & (WS_POPUP | WS_CAPTION), WS_POPUP);
        CURSORINFO cursor{sizeof cursor, 0, nullptr, {}};
        EXPECT_TRUE(GetCursorInfo(&cursor) && cursor.hCursor == nullptr) << "the pointer shows";
        return process.running();
    }
    // True when the process ends with exit code 0 within `ms`, its window gone.
    bool endsWithin(DWORD ms) {
        return pumpUntil(ms, [&] { return !process.running(); }) && process.exitCode() == 0 && !IsWindow(window);
    }
    bool runsAfter(DWORD ms) { return !pumpUntil(ms, [&] { return !process.running(); }) && IsWindow(window); }
};

// A visible white top-level window of this program.
HWND whiteWindow(const wchar_t* className, const wchar_t* title, const RECT& r) {
    WNDCLASSW wc{0, DefWindowProcW, 0, 0, GetModuleHandleW(nullptr), nullptr, nullptr,
                 static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)), nullptr, className};
    RegisterClassW(&wc);
    HWND w = CreateWindowExW(0, className, title, WS_POPUP | WS_VISIBLE, r.left, r.top, r.right - r.left,
                             r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
    wintest::pump(300);
    return w;
}

// The pointer goes far while the window exists but is not shown, so the first mouse-move message
// (the window appearing under the pointer) reports a long way; movement is still measured from
// where it started, and a close from another program waits for the user's input.
TEST(Renderer, FirstMoveNeverEndsItAndAForeignCloseWaitsForUserInput) {
    Saver saver;
    bool farWhileHidden = false;
    ASSERT_TRUE(saver.start(L"", PrimaryCentre, RendererExe,
                            [&] { farWhileHidden = placeCursor(812, 584) && !IsWindowVisible(saver.window); }));
    ASSERT_TRUE(farWhileHidden) << "the window showed before the pointer could be moved";
    PostMessageW(saver.window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(saver.runsAfter(StaysMs)) << "the first move or a close before any input ended it";
    ASSERT_TRUE(placeCursor(514, 386));
    EXPECT_TRUE(saver.runsAfter(StaysMs)) << "a step of 4 ended it";
    PostMessageW(saver.window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(saver.endsWithin(EndWithinMs)) << "the same close after the user's input";
}

// A renderer still setting up makes a new one give way; a running one does not stop a second one,
// but loses the activation to it, which ends it.
TEST(Renderer, SecondRenderer) {
    HWND starting = whiteWindow(SaverClass, L"Screensaver", {20, 20, 220, 140});
    wintest::Process late;
    ASSERT_TRUE(late.start(RendererExe, L"/s"));
    bool sawWindow = false;
    ASSERT_TRUE(pumpUntil(5000, [&] { return (sawWindow |= !saverWindows(late.id()).empty()), !late.running(); }));
    EXPECT_EQ(late.exitCode(), 0u);
    EXPECT_FALSE(sawWindow);
    DestroyWindow(starting);

    Saver first, second;
    ASSERT_TRUE(first.start(L""));
    ASSERT_TRUE(second.start(L"/s")) << "the second renderer opened no window";
    EXPECT_TRUE(first.endsWithin(EndWithinMs));
    wintest::mouseButton(MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP);
    EXPECT_TRUE(second.endsWithin(EndWithinMs));
}

// Where OpenGL cannot be set up it leaves no window, ends with code 1 and logs which step failed;
// its icon group holds one 32x32 image and its manifest asks for per-monitor DPI.
TEST(Renderer, FailedOpenGlSetUpAndResources) {
    for (const auto& [step, logged] : {std::pair{"pixel-format", "no pixel format could be set"}, {"context", "no OpenGL context"}}) {
        SetEnvironmentVariableA("LUMIVANE_TEST_GL_FAILURE", step);
        const wintest::DebuggedRun run = wintest::runDebugged(RendererExe, L"", 10000);
        SetEnvironmentVariableA("LUMIVANE_TEST_GL_FAILURE", nullptr);
        EXPECT_TRUE(run.ended && run.exitCode == 1 && !FindWindowW(SaverClass, nullptr)) << step;
        EXPECT_NE(run.debugOutput.find(std::string("OpenGL set-up failed: ") + logged), std::string::npos) << run.debugOutput;
    }
    HMODULE image = LoadLibraryExW(RendererExe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const auto resource = [image](int id, LPCSTR type) {
        HRSRC found = FindResourceA(image, MAKEINTRESOURCEA(id), type);
        return std::string(static_cast<const char*>(LockResource(LoadResource(image, found))), SizeofResource(image, found));
    };
    // A 6-byte header ending in the image count, then 14 bytes per image, width and height first.
    EXPECT_EQ(resource(7002, RT_GROUP_ICON).substr(0, 8), std::string("\0\0\1\0\1\0\x20\x20", 8));
    EXPECT_EQ(resource(7002, RT_GROUP_ICON).size(), 6u + 14u);
    EXPECT_NE(resource(1, RT_MANIFEST).find(">true/pm</dpiAware>"), std::string::npos);
    EXPECT_NE(resource(1, RT_MANIFEST).find(">PerMonitorV2"), std::string::npos);
    FreeLibrary(image);
}

// A copy of the renderer that Wine presents as Windows 98, in a folder of its own with a stand-in
// PASSWORD.CPL (or none) that logs what it is asked and answers what answer.txt says.
struct Windows98Copy {
    const wchar_t* key = L"Software\\Wine\\AppDefaults\\Lumivane.dll";
    wintest::TempDir dir{L"password"};
    Saver saver;
    bool start(const char* library, const wchar_t* args) {
        return !RegSetKeyValueW(HKEY_CURRENT_USER, key, L"Version", REG_SZ, L"win98", 12) && answer("0") &&
               dir.copyIn(RendererExe, L"Lumivane.dll") &&
               (!library || dir.copyIn(wintest::fromUnixPath(library), L"PASSWORD.CPL")) &&
               saver.start(args, PrimaryCentre, dir.file(L"Lumivane.dll"));
    }
    ~Windows98Copy() { RegDeleteKeyW(HKEY_CURRENT_USER, key); }
    bool answer(const char* text) { return wintest::writeFileBytes(dir.file(L"answer.txt"), text); }
    std::string log() const { return wintest::readFileBytes(dir.file(L"password-log.txt")); }
    bool logs(const std::string& text) { return pumpUntil(3000, [&] { return log() == text; }); }
};

// The first input asks, loading the library, handing it the saver window with the system told that
// a saver runs, and freeing it again; while its dialog is open a key, a click and a foreign close
// ask nothing more. Refused, it runs on: 4 pixels from where the pointer was ask nothing, a click
// asks again, and the right button asks a third time and, answered right, ends it.
TEST(Renderer, On9xARefusedPasswordKeepsItRunningAndTheNextInputAsksAgain) {
    const std::string asked = "load\nask window=WindowsScreenSaverClass saverRunning=1\n";
    Windows98Copy copy;
    ASSERT_TRUE(copy.start(LUMIVANE_VERIFY_CPL, L"/s") && copy.answer("w"));
    EXPECT_EQ(copy.log(), "") << "asked before any input";
    wintest::pressKey(VK_SPACE);
    ASSERT_TRUE(copy.logs(asked));
    wintest::pressKey(VK_SPACE);
    wintest::mouseButton(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    PostMessageW(copy.saver.window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(copy.logs(asked + "dialog closed\nfree\n")) << copy.log();
    ASSERT_TRUE(copy.answer("0") && placeCursor(516, 384));
    EXPECT_TRUE(copy.saver.runsAfter(StaysMs));
    wintest::mouseButton(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(copy.logs(asked + "dialog closed\nfree\n" + asked + "free\n")) << copy.log();
    ASSERT_TRUE(copy.answer("1") && copy.saver.runsAfter(StaysMs));
    wintest::mouseButton(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    EXPECT_TRUE(copy.saver.endsWithin(EndWithinMs));
    EXPECT_EQ(copy.log(), asked + "dialog closed\nfree\n" + asked + "free\n" + asked + "free\n");
}

// Without PASSWORD.CPL, or with one that lacks the export, an input ends it without asking.
TEST(Renderer, On9xWithoutAPasswordCheckAnInputEndsItAtOnce) {
    for (const char* library : {static_cast<const char*>(nullptr), LUMIVANE_NO_EXPORT_CPL}) {
        Windows98Copy copy;
        ASSERT_TRUE(copy.start(library, library ? L"/p 1234" : L"/c"));
        library ? wintest::mouseButton(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP) : wintest::pressKey(VK_SPACE);
        EXPECT_TRUE(copy.saver.endsWithin(EndWithinMs)) << (library ? library : "no PASSWORD.CPL");
        EXPECT_EQ(copy.log(), library ? "load\nfree\n" : "");
    }
}

// The screen's pixels over a rectangle as 0xRRGGBB, top row first.
std::vector<DWORD> screenPixels(const RECT& r) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    std::vector<DWORD> pixels(static_cast<size_t>(w) * h);
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, CreateCompatibleBitmap(screen, w, h));
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GetDIBits(memory, static_cast<HBITMAP>(GetCurrentObject(memory, OBJ_BITMAP)), 0, h, pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(SelectObject(memory, old));
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// How many pixels have their lowest channel at `low` or above and their highest above `high`.
int countPixels(const std::vector<DWORD>& pixels, int low, int high) {
    return static_cast<int>(std::count_if(pixels.begin(), pixels.end(), [&](DWORD p) {
        const int r = p >> 16 & 255, g = p >> 8 & 255, b = p & 255;
        return std::min({r, g, b}) >= low && std::max({r, g, b}) > high;
    }));
}

// Over a white document on the second monitor, the scene shows on both monitors, or with the
// choice of the primary only the second is all black. The primary's picture keeps changing, and
// goes to the picture check that the Linux program's passes too. A first move, then one of 5
// pixels or of (3, 2) on the second monitor end it.
TEST(Renderer, SceneOnEveryMonitorOrThePrimaryOnly) {
    ASSERT_EQ(GetSystemMetrics(SM_CMONITORS), 2) << "the session must give two monitors";
    const RECT primary{0, 0, 1024, 768}, second{1024, 0, 1824, 600};
    for (const bool everyMonitor : {true, false}) {
        HWND document = whiteWindow(L"LumivaneDocument", L"document", second);
        ASSERT_GT(countPixels(screenPixels(second), 250, 0), 100000);
        Saver saver;
        ASSERT_TRUE(saver.start(everyMonitor ? L"" : L"/screens:primary", {1461, 323}));
        wintest::pump(everyMonitor ? 5000 : 2000);  // the picture check's moment, as on Linux
        const std::vector<DWORD> onPrimary = screenPixels(primary), onSecond = screenPixels(second);
        EXPECT_GT(countPixels(onPrimary, 0, 40), 50);
        // Particles with white cores may pass over the second; the document would fill it.
        EXPECT_LT(countPixels(onSecond, 250, 0), 1000) << "the document shows";
        // Lit on the second too, or with the primary only not one pixel there that is not black.
        EXPECT_EQ(countPixels(onSecond, 0, everyMonitor ? 40 : 0) > (everyMonitor ? 50 : 0), everyMonitor);
        if (everyMonitor) {
            EXPECT_NE(screenPixels(primary), onPrimary) << "the picture stands still";
            std::string rgb;
            for (DWORD p : onPrimary) rgb += {char(p >> 16), char(p >> 8), char(p)};
            EXPECT_TRUE(wintest::writeFileBytes(wintest::fromUnixPath(LUMIVANE_SHOT), rgb));
        }
        EXPECT_TRUE(placeCursor(1462, 323) && placeCursor(everyMonitor ? 1467 : 1465, everyMonitor ? 323 : 325));
        EXPECT_TRUE(saver.endsWithin(EndWithinMs)) << (everyMonitor ? "every monitor" : "primary only");
        DestroyWindow(document);
    }
}

}  // namespace
