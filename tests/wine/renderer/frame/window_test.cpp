// The real renderer's window and the inputs that end it, driven with real input under Wine.
#include "renderer/frame/saver_session.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using namespace savertest;

namespace {

const wchar_t* const HelperClass = L"LumivaneTestHelper";

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

void sendMouse(DWORD flags, DWORD data = 0) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    in.mi.mouseData = data;
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
        EXPECT_EQ(saverWindows(saver.process().id()).size(), 1u);
        RECT r{};
        const RECT screen{0, 0, screenW, screenH};
        GetWindowRect(w, &r);
        EXPECT_TRUE(EqualRect(&r, &screen)) << r.left << "," << r.top << " to " << r.right << "," << r.bottom;
        EXPECT_TRUE(GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST);
        EXPECT_EQ(GetWindowLongW(w, GWL_STYLE) & (WS_POPUP | WS_CAPTION), WS_POPUP);
        ASSERT_TRUE(saver.waitReady());
        CURSORINFO cursor{};
        cursor.cbSize = sizeof cursor;
        ASSERT_TRUE(GetCursorInfo(&cursor));
        EXPECT_EQ(cursor.hCursor, nullptr) << "the pointer shows over the saver";

        wintest::pressKey(VK_SPACE);
        EXPECT_TRUE(saver.endsCleanlyWithin(CloseWithinMs));
        EXPECT_FALSE(IsWindow(w));
    }
}

TEST(SaverWindow, ProgramCarriesItsIconAndDpiAwareManifest) {
    HMODULE image = LoadLibraryExW(rendererPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(image, nullptr);
    auto resource = [image](int id, LPCSTR type) {
        HRSRC found = FindResourceA(image, MAKEINTRESOURCEA(id), type);
        return found ? std::string(static_cast<const char*>(LockResource(LoadResource(image, found))),
                                   SizeofResource(image, found))
                     : std::string();
    };
    // The icon group's directory: a 6-byte header with the image count, then 14 bytes per image.
    const std::string icons = resource(7002, RT_GROUP_ICON);
    ASSERT_EQ(icons.size(), 6u + 14u);
    EXPECT_EQ(icons[4], 1);
    EXPECT_EQ(icons[6], 32) << "width";
    EXPECT_EQ(icons[7], 32) << "height";
    const std::string manifest = resource(1, RT_MANIFEST);
    EXPECT_NE(manifest.find("true/pm"), std::string::npos);
    EXPECT_NE(manifest.find("PerMonitorV2"), std::string::npos);
    FreeLibrary(image);
}

TEST(SaverClose, EachUserInputEndsTheProgramWithinASecond) {
    const POINT home = screenCentre();
    const std::vector<std::pair<const char*, std::function<void()>>> cases = {
        {"left button", [] { wintest::mouseButton(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP); }},
        {"right button", [] { wintest::mouseButton(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP); }},
        {"middle button", [] { wintest::mouseButton(MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP); }},
        {"losing activation", [] { SetForegroundWindow(makeHelperWindow(HelperClass, L"other application")); }},
        // Each move follows a first, small one.
        {"move of 5 pixels",
         [&] {
             ASSERT_TRUE(placeCursor(home.x + 1, home.y));
             ASSERT_TRUE(placeCursor(home.x + 6, home.y));
         }},
        {"move of (3, 2)",
         [&] {
             ASSERT_TRUE(placeCursor(home.x, home.y + 1));
             ASSERT_TRUE(placeCursor(home.x + 3, home.y + 3));
         }},
    };
    for (const auto& [name, act] : cases) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(placeCursor(home.x, home.y));  // the saver measures moves from here
        Saver saver;
        ASSERT_TRUE(saver.start());
        ASSERT_TRUE(saver.waitReady());
        act();
        EXPECT_TRUE(saver.endsCleanlyWithin(CloseWithinMs));
        if (HWND other = FindWindowW(HelperClass, nullptr)) DestroyWindow(other);
    }
}

TEST(SaverClose, OnlyUserInputMakesItHonourAForeignClose) {
    const POINT home = screenCentre();
    ASSERT_TRUE(placeCursor(home.x, home.y));
    Saver saver;
    ASSERT_TRUE(saver.start());
    ASSERT_TRUE(saver.waitReady());
    PostMessageW(saver.window(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(saver.stillRunningAfter(StaysOpenForMs)) << "a close before any input";
    // Steps of exactly 4 pixels: user input that ends nothing. The three points lie 4 apart
    // pairwise, so moves that the system merges into one message are 4 pixels too.
    ASSERT_TRUE(placeCursor(home.x + 4, home.y));
    ASSERT_TRUE(placeCursor(home.x + 2, home.y + 2));
    ASSERT_TRUE(placeCursor(home.x, home.y));
    EXPECT_TRUE(saver.stillRunningAfter(StaysOpenForMs)) << "4-pixel moves";
    sendMouse(MOUSEEVENTF_LEFTUP);
    sendMouse(MOUSEEVENTF_RIGHTUP);
    sendMouse(MOUSEEVENTF_MIDDLEUP);
    EXPECT_TRUE(saver.stillRunningAfter(StaysOpenForMs)) << "button releases";
    sendMouse(MOUSEEVENTF_WHEEL, static_cast<DWORD>(-WHEEL_DELTA));
    EXPECT_TRUE(saver.stillRunningAfter(StaysOpenForMs)) << "wheel";
    PostMessageW(saver.window(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(saver.endsCleanlyWithin(CloseWithinMs)) << "the same close after the moves";
}

// The pointer is moved far while the window exists but is not shown yet, so the first mouse-move
// message (the window appearing under the pointer) reports a long way.
TEST(SaverClose, FirstMoveNeverEndsItHoweverFar) {
    const POINT home = screenCentre();
    for (int attempt = 0; attempt < 5; ++attempt) {
        Saver saver;
        ASSERT_TRUE(saver.start(L"", rendererPath(), false));
        HWND w = saver.window();
        if (IsWindowVisible(w) || !placeCursor(home.x + 300, home.y + 200) || IsWindowVisible(w)) continue;

        EXPECT_TRUE(saver.stillRunningAfter(StaysOpenForMs)) << "the first move ended the saver";
        ASSERT_TRUE(IsWindowVisible(w));
        // Movement is still measured from the creation position, not from where the first move went.
        ASSERT_TRUE(placeCursor(home.x + 2, home.y + 2));
        EXPECT_TRUE(saver.stillRunningAfter(StaysOpenForMs)) << "a step of 4 from the creation position";
        ASSERT_TRUE(placeCursor(home.x + 2, home.y + 7));
        EXPECT_TRUE(saver.endsCleanlyWithin(CloseWithinMs)) << "a step of 5 after the first move";
        return;
    }
    GTEST_SKIP() << "the window was always shown before the pointer could be moved";
}

TEST(SaverInstances, StartingRendererWindowMakesANewRendererGiveWay) {
    HWND other = makeHelperWindow(HelperClass, L"other application");
    HWND starting = makeHelperWindow(SaverClass, L"Screensaver");
    ASSERT_NE(starting, nullptr);
    SetForegroundWindow(other);
    wintest::pump(100);
    ASSERT_EQ(GetForegroundWindow(), other);

    wintest::Process process;
    ASSERT_TRUE(process.start(rendererPath(), L"/s"));
    bool sawWindow = false;
    for (DWORD begin = GetTickCount(); !process.waitExit(0) && GetTickCount() - begin < 5000; wintest::pump(5)) {
        sawWindow = sawWindow || !saverWindows(process.id()).empty();
    }
    ASSERT_TRUE(process.waitExit(0)) << "the new renderer kept running";
    EXPECT_EQ(process.exitCode(), 0u);
    EXPECT_FALSE(sawWindow);
    wintest::pump(100);
    EXPECT_EQ(GetForegroundWindow(), starting) << "the starting window was not brought to the front";
    DestroyWindow(starting);
    DestroyWindow(other);
}

TEST(SaverInstances, RunningRendererDoesNotStopASecondOne) {
    Saver first;
    ASSERT_TRUE(first.start());
    ASSERT_TRUE(first.waitReady());
    Saver second;
    ASSERT_TRUE(second.start()) << "the second renderer opened no window";
    ASSERT_TRUE(second.waitReady());
    // The first one lost the activation to the second, which ends it by the usual rule.
    EXPECT_TRUE(first.endsCleanlyWithin(CloseWithinMs));
    wintest::pressKey(VK_SPACE);
    EXPECT_TRUE(second.endsCleanlyWithin(CloseWithinMs));
}

// Where OpenGL cannot be set up, the renderer leaves no window behind, ends with code 1 and says
// in the debug log which step failed. The test hook makes the step fail.
TEST(SaverStart, FailedOpenGlSetUpEndsTheProgramCleanlyAndLogsWhy) {
    const struct { const char* step; const char* logged; } failures[] = {
        {"pixel-format", "OpenGL set-up failed: no pixel format could be set"},
        {"context", "OpenGL set-up failed: no OpenGL context"},
    };
    for (const auto& failure : failures) {
        SCOPED_TRACE(failure.step);
        SetEnvironmentVariableA("LUMIVANE_TEST_GL_FAILURE", failure.step);
        const wintest::DebuggedRun run = wintest::runDebugged(rendererPath(), L"", 10000);
        SetEnvironmentVariableA("LUMIVANE_TEST_GL_FAILURE", nullptr);
        ASSERT_TRUE(run.ended);
        EXPECT_EQ(run.exitCode, 1u);
        EXPECT_NE(run.debugOutput.find(failure.logged), std::string::npos) << run.debugOutput;
        EXPECT_EQ(FindWindowW(SaverClass, nullptr), nullptr);
    }
}
