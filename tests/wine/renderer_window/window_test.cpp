// The real renderer's window and the inputs that end it, driven with real input under Wine.
#include "renderer_window/saver_session.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using namespace savertest;

namespace {

constexpr DWORD CloseWithinMs = 1000;   // an input that ends the saver ends its process within this
constexpr DWORD StaysOpenForMs = 1000;  // an input that is ignored leaves the saver running this long
constexpr DWORD SettleMs = 300;         // lets the window's own start-up messages pass before input
constexpr int FirstMoveAttempts = 5;    // tries to catch the window before it is shown
const wchar_t* const CreationTitle = L"Screensaver";
const wchar_t* const HelperClass = L"LumivaneTestHelper";

[[maybe_unused]] ::testing::Environment* const unmanaged = ::testing::AddGlobalTestEnvironment(new UnmanagedWindowsEnvironment);

// A visible top-level window of this test program.
HWND makeHelperWindow(const wchar_t* className, const wchar_t* title) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className;
    RegisterClassW(&wc);
    HWND w = CreateWindowExW(0, className, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 200, 120, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    wintest::pump(50);
    return w;
}

// Counts this process's top-level windows with the saver class.
int saverWindowCount(DWORD pid) {
    struct Count {
        DWORD pid;
        int n;
    } count{pid, 0};
    EnumWindows(
        [](HWND w, LPARAM lp) -> BOOL {
            auto* c = reinterpret_cast<Count*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            wchar_t cls[64] = {};
            GetClassNameW(w, cls, 64);
            if (owner == c->pid && wcscmp(cls, SaverClass) == 0) ++c->n;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count.n;
}

void sendWheel() {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.mouseData = static_cast<DWORD>(-WHEEL_DELTA);
    in.mi.dwFlags = MOUSEEVENTF_WHEEL;
    SendInput(1, &in, sizeof(INPUT));
}

void sendButtonUp(DWORD flag) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flag;
    SendInput(1, &in, sizeof(INPUT));
}

}  // namespace

TEST(SaverWindow, OneTopmostFullScreenWindowWhateverTheCommandLine) {
    const int screenW = GetSystemMetrics(SM_CXSCREEN);
    const int screenH = GetSystemMetrics(SM_CYSCREEN);
    std::printf("screen %dx%d\n", screenW, screenH);
    for (const wchar_t* args : {L"", L"/s", L"/c", L"/p 1234", L"/S"}) {
        SCOPED_TRACE(testing::Message() << "arguments '" << std::string(args, args + wcslen(args)) << "'");
        Saver saver;
        ASSERT_TRUE(saver.start(args));
        HWND w = saver.window();
        EXPECT_EQ(saverWindowCount(saver.process().id()), 1);
        RECT r{};
        GetWindowRect(w, &r);
        EXPECT_EQ(r.left, 0);
        EXPECT_EQ(r.top, 0);
        EXPECT_EQ(r.right, screenW);
        EXPECT_EQ(r.bottom, screenH);
        EXPECT_TRUE(GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST);
        const LONG style = GetWindowLongW(w, GWL_STYLE);
        EXPECT_TRUE(style & WS_POPUP);
        EXPECT_FALSE(style & WS_CAPTION);
        EXPECT_TRUE(saver.waitForeground());
        // The pointer is hidden while it rests over the saver.
        wintest::pump(SettleMs);
        CURSORINFO cursor{};
        cursor.cbSize = sizeof cursor;
        ASSERT_TRUE(GetCursorInfo(&cursor));
        EXPECT_EQ(cursor.hCursor, nullptr);

        wintest::pressKey(VK_SPACE);
        EXPECT_TRUE(saver.endsCleanlyWithin(CloseWithinMs));
        EXPECT_FALSE(IsWindow(w));
    }
}

TEST(SaverWindow, ProgramCarriesItsIconAndDpiAwareManifest) {
    HMODULE image = LoadLibraryExW(rendererPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(image, nullptr);
    HICON icon = static_cast<HICON>(LoadImageW(image, MAKEINTRESOURCEW(7002), IMAGE_ICON, 32, 32, 0));
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP colour{};
    ASSERT_TRUE(info.hbmColor);
    GetObjectW(info.hbmColor, sizeof colour, &colour);
    EXPECT_EQ(colour.bmWidth, 32);
    EXPECT_EQ(colour.bmHeight, 32);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);

    HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(found, nullptr);
    const char* text = static_cast<const char*>(LockResource(LoadResource(image, found)));
    std::string manifest(text, SizeofResource(image, found));
    EXPECT_NE(manifest.find("<dpiAware"), std::string::npos);
    EXPECT_NE(manifest.find("true/pm"), std::string::npos);
    EXPECT_NE(manifest.find("PerMonitorV2"), std::string::npos);
    FreeLibrary(image);
}

// Each input that must end the saver, after the pointer has settled over the window.
TEST(SaverClose, EachUserInputEndsTheProgramWithinASecond) {
    struct Case {
        const char* name;
        std::function<void(const POINT& home)> act;
    };
    const std::vector<Case> cases = {
        {"key press", [](const POINT&) { wintest::pressKey('A'); }},
        {"left button", [](const POINT&) { wintest::mouseButton(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP); }},
        {"right button", [](const POINT&) { wintest::mouseButton(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP); }},
        {"middle button",
         [](const POINT&) { wintest::mouseButton(MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP); }},
        {"losing activation",
         [](const POINT&) {
             HWND other = makeHelperWindow(HelperClass, L"other application");
             SetForegroundWindow(other);
         }},
        {"move of 5 pixels",
         [](const POINT& home) {
             ASSERT_TRUE(placeCursor(home.x + 1, home.y));  // a first, small move
             ASSERT_TRUE(placeCursor(home.x + 6, home.y));
         }},
        {"move of (3, 2)",
         [](const POINT& home) {
             ASSERT_TRUE(placeCursor(home.x, home.y + 1));
             ASSERT_TRUE(placeCursor(home.x + 3, home.y + 3));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Saver saver;
        ASSERT_TRUE(saver.start());
        ASSERT_TRUE(saver.waitForeground());
        wintest::pump(SettleMs);
        ASSERT_TRUE(saver.process().running());
        c.act(screenCentre());
        DWORD took = 0;
        EXPECT_TRUE(saver.endsCleanlyWithin(CloseWithinMs, &took));
        std::printf("%s: ended after %lu ms\n", c.name, static_cast<unsigned long>(took));
        if (HWND other = FindWindowW(HelperClass, nullptr)) DestroyWindow(other);
    }
}

TEST(SaverClose, ReleasesWheelAndSmallMovesLeaveItRunning) {
    Saver saver;
    ASSERT_TRUE(saver.start());
    ASSERT_TRUE(saver.waitForeground());
    wintest::pump(SettleMs);
    const POINT home = screenCentre();
    // Steps of exactly 4 pixels, each measured from the last position.
    ASSERT_TRUE(placeCursor(home.x + 4, home.y));
    ASSERT_TRUE(placeCursor(home.x + 4, home.y + 4));
    ASSERT_TRUE(placeCursor(home.x + 2, home.y + 2));
    EXPECT_TRUE(saver.stillRunningAfter(StaysOpenForMs)) << "4-pixel moves";
    sendButtonUp(MOUSEEVENTF_LEFTUP);
    sendButtonUp(MOUSEEVENTF_RIGHTUP);
    sendButtonUp(MOUSEEVENTF_MIDDLEUP);
    EXPECT_TRUE(saver.stillRunningAfter(StaysOpenForMs)) << "button releases";
    sendWheel();
    EXPECT_TRUE(saver.stillRunningAfter(StaysOpenForMs)) << "wheel";
    // It was listening all along: a press ends it.
    wintest::mouseButton(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(saver.endsCleanlyWithin(CloseWithinMs));
}

// The pointer is moved far away while the window exists but is not shown yet, so the first
// mouse-move message the saver gets (the window appearing under the pointer) reports a long way.
TEST(SaverClose, FirstMoveNeverEndsItHoweverFar) {
    const POINT home = screenCentre();
    bool caught = false;
    for (int attempt = 0; attempt < FirstMoveAttempts && !caught; ++attempt) {
        ASSERT_TRUE(placeCursor(home.x, home.y));
        wintest::Process process;
        ASSERT_TRUE(process.start(rendererPath()));
        HWND w = nullptr;
        for (DWORD begin = GetTickCount(); !w && GetTickCount() - begin < 20000; Sleep(1)) {
            HWND found = findSaverWindow(process.id());
            wchar_t title[64] = {};
            if (found && GetWindowTextW(found, title, 64) && wcscmp(title, RunningTitle) == 0) w = found;
        }
        ASSERT_NE(w, nullptr);
        if (IsWindowVisible(w)) {
            process.kill();  // shown already: the move would not be the first one
            continue;
        }
        ASSERT_TRUE(placeCursor(home.x + 300, home.y + 200));
        if (IsWindowVisible(w)) {
            process.kill();
            continue;
        }
        caught = true;
        EXPECT_FALSE(waitExitPumping(process, StaysOpenForMs)) << "the first move ended the saver";
        ASSERT_TRUE(IsWindowVisible(w));
        // The reference point stayed where the pointer was at creation, not where the first move went.
        ASSERT_TRUE(placeCursor(home.x + 2, home.y + 2));
        EXPECT_FALSE(waitExitPumping(process, StaysOpenForMs)) << "a step of 4 from the creation position";
        ASSERT_TRUE(placeCursor(home.x + 2, home.y + 7));
        EXPECT_TRUE(waitExitPumping(process, CloseWithinMs)) << "a step of 5 after the first move";
        EXPECT_EQ(process.exitCode(), 0u);
    }
    if (!caught) GTEST_SKIP() << "the window was always shown before the pointer could be moved";
}

TEST(SaverClose, ForeignCloseIsHonouredOnlyAfterUserInput) {
    Saver saver;
    ASSERT_TRUE(saver.start());
    ASSERT_TRUE(saver.waitForeground());
    wintest::pump(SettleMs);
    PostMessageW(saver.window(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(saver.stillRunningAfter(StaysOpenForMs));
    EXPECT_NE(FindWindowW(SaverClass, RunningTitle), nullptr);

    // Jitter of 2 and then 1 pixels: it ends nothing, but it is user input.
    const POINT home = screenCentre();
    ASSERT_TRUE(placeCursor(home.x + 2, home.y));
    ASSERT_TRUE(placeCursor(home.x + 2, home.y + 1));
    EXPECT_TRUE(saver.stillRunningAfter(SettleMs));
    PostMessageW(saver.window(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(saver.endsCleanlyWithin(CloseWithinMs));
}

TEST(SaverInstances, StartingRendererWindowMakesANewRendererGiveWay) {
    HWND other = makeHelperWindow(HelperClass, L"other application");
    HWND starting = makeHelperWindow(SaverClass, CreationTitle);
    ASSERT_NE(starting, nullptr);
    SetForegroundWindow(other);
    wintest::pump(100);
    ASSERT_EQ(GetForegroundWindow(), other);

    wintest::Process process;
    ASSERT_TRUE(process.start(rendererPath(), L"/s"));
    bool sawWindow = false;
    DWORD begin = GetTickCount();
    while (!process.waitExit(0) && GetTickCount() - begin < 5000) {
        sawWindow = sawWindow || findSaverWindow(process.id()) != nullptr;
        wintest::pump(5);
    }
    ASSERT_TRUE(process.waitExit(0)) << "the new renderer kept running";
    EXPECT_EQ(process.exitCode(), 0u);
    EXPECT_FALSE(sawWindow);
    EXPECT_EQ(FindWindowW(SaverClass, RunningTitle), nullptr);
    wintest::pump(100);
    EXPECT_EQ(GetForegroundWindow(), starting) << "the starting window was not brought to the front";
    DestroyWindow(starting);
    DestroyWindow(other);
}

TEST(SaverInstances, RunningRendererDoesNotStopASecondOne) {
    Saver first;
    ASSERT_TRUE(first.start());
    ASSERT_TRUE(first.waitForeground());
    Saver second;
    ASSERT_TRUE(second.start()) << "the second renderer opened no window";
    EXPECT_NE(second.window(), first.window());
    ASSERT_TRUE(second.waitForeground());
    // The first one lost the activation to the second, which ends it by the usual rule.
    EXPECT_TRUE(first.endsCleanlyWithin(CloseWithinMs));
    wintest::pump(SettleMs);
    wintest::pressKey(VK_SPACE);
    EXPECT_TRUE(second.endsCleanlyWithin(CloseWithinMs));
}
