// The preview, run for real: Lumivane.scr /p <hwnd> inside test host windows.
// (Wine shows neither an OpenGL child nor a GDI child drawn by another process, so what the
// preview draws is checked in preview_window_test.cpp with the same code in one process.)
#include "common/names.h"
#include "shell/host/preview_pixels.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using namespace previewtest;

class Preview : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.copyIn(L"Lumivane.scr", L"Lumivane.scr"));
        ASSERT_TRUE(dir.copyIn(L"Lumivane.dll", L"Lumivane.dll"));
        scr = dir.file(L"Lumivane.scr");
    }
    wintest::TempDir dir{L"preview"};
    std::wstring scr;
};

// The preview child must cover exactly the host's rectangle, without a frame.
void expectCovers(const HostWindow& host, HWND child) {
    RECT hostRect{}, childRect{};
    GetWindowRect(host.handle(), &hostRect);
    GetWindowRect(child, &childRect);
    EXPECT_EQ(childRect.left, hostRect.left);
    EXPECT_EQ(childRect.top, hostRect.top);
    EXPECT_EQ(childRect.right, hostRect.right);
    EXPECT_EQ(childRect.bottom, hostRect.bottom);
    LONG style = GetWindowLongW(child, GWL_STYLE);
    EXPECT_EQ(style & WS_CHILD, WS_CHILD);
    EXPECT_EQ(style & (WS_CAPTION | WS_BORDER | WS_THICKFRAME), 0);
    EXPECT_EQ(GetAncestor(child, GA_PARENT), host.handle());
}

TEST_F(Preview, CoversItsHostAndLivesAsLongAsIt) {
    for (SIZE size : {SIZE{StillWidth, StillHeight}, SIZE{StillWidth * 2, StillHeight * 2}}) {
        HostWindow host(200, 150, size.cx, size.cy);
        wintest::Process p;
        ASSERT_TRUE(p.start(scr, host.arg()));
        HWND child = host.waitForPreview();
        ASSERT_NE(child, nullptr) << "no child window titled \"Preview Window\" in the host";
        expectCovers(host, child);
        wintest::pump(500);
        EXPECT_TRUE(p.running()) << "the preview must live as long as its host";
        EXPECT_EQ(FindWindowW(nullptr, SaverRunningTitleW), nullptr) << "a preview never starts the renderer";

        host.destroy();
        EXPECT_TRUE(p.waitExit(EndTimeoutMs)) << "the preview process outlived its host";
    }
}

// The desktop as host would give a full-screen picture that nothing ever closes.
TEST_F(Preview, HandleThatNamesNoWindowOrTheDesktopEndsAtOnce) {
    const std::wstring desktop =
        L"/p " + std::to_wstring(static_cast<long long>(reinterpret_cast<LONG_PTR>(GetDesktopWindow())));
    for (const std::wstring& args : {std::wstring(L"/p 0"), std::wstring(L"/p 999999"), std::wstring(L"/p"), desktop}) {
        wintest::Process p;
        ASSERT_TRUE(p.start(scr, args));
        EXPECT_TRUE(p.waitExit(EndTimeoutMs)) << "still running for " << std::string(args.begin(), args.end());
    }
    EXPECT_EQ(FindWindowW(nullptr, L"Preview Window"), nullptr);
}

// A host process that is killed, or ends without destroying its window, takes the preview's
// window with it without a WM_DESTROY; the preview must still end.
TEST_F(Preview, EndsWithinASecondOfItsHostProcess) {
    for (bool killed : {true, false}) {
        SCOPED_TRACE(killed ? "host killed" : "host called ExitProcess");
        wintest::Process hostProcess;
        ASSERT_TRUE(hostProcess.start(wintest::fromUnixPath(LUMIVANE_PREVIEW_HOST_UNIX)));
        const HWND host = wintest::waitForWindow(L"LumivanePreviewHost", nullptr, ShowTimeoutMs);
        ASSERT_NE(host, nullptr);
        wintest::Process p;
        ASSERT_TRUE(p.start(scr, L"/p " + std::to_wstring(static_cast<long long>(reinterpret_cast<LONG_PTR>(host)))));
        DWORD start = GetTickCount();
        while (!FindWindowExW(host, nullptr, nullptr, L"Preview Window") && GetTickCount() - start < ShowTimeoutMs)
            Sleep(10);
        ASSERT_NE(FindWindowExW(host, nullptr, nullptr, L"Preview Window"), nullptr);
        wintest::pump(500);

        if (killed) {
            hostProcess.kill();
        } else {
            PostMessageW(host, WM_APP, 0, 0);
            ASSERT_TRUE(hostProcess.waitExit(ShowTimeoutMs));
        }
        start = GetTickCount();
        EXPECT_TRUE(p.waitExit(EndTimeoutMs)) << "the preview outlived its host's process";
        std::printf("preview ended %lu ms after its host's process\n", GetTickCount() - start);
    }
}

TEST_F(Preview, TwoPreviewsSideBySideAndNeitherBlocksTheSaverOrSettings) {
    HostWindow first(50, 400, StillWidth, StillHeight), second(250, 400, StillWidth, StillHeight);
    wintest::Process a, b;
    ASSERT_TRUE(a.start(scr, first.arg()));
    ASSERT_NE(first.waitForPreview(), nullptr);
    ASSERT_TRUE(b.start(scr, second.arg()));
    ASSERT_NE(second.waitForPreview(), nullptr);
    EXPECT_TRUE(a.running());
    EXPECT_TRUE(b.running());

    wintest::Process settings;
    ASSERT_TRUE(settings.start(scr, L"/c"));
    HWND dialog = wintest::waitForWindow(nullptr, SettingsDialogTitle, ShowTimeoutMs);
    EXPECT_NE(dialog, nullptr) << "an open preview blocked the settings dialog";
    if (dialog) PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(settings.waitExit(ShowTimeoutMs));

    wintest::Process saver;
    ASSERT_TRUE(saver.start(scr, L""));
    EXPECT_NE(wintest::waitForWindow(nullptr, SaverRunningTitleW, ShowTimeoutMs), nullptr)
        << "an open preview blocked the saver";
    saver.kill();
    wintest::Process::killByWindowTitle(SaverRunningTitleW);
    EXPECT_TRUE(a.running());
    EXPECT_TRUE(b.running());
}

TEST(PreviewWithoutRenderer, IsStillShown) {
    wintest::TempDir lonely(L"preview-alone");
    ASSERT_TRUE(lonely.copyIn(L"Lumivane.scr", L"Lumivane.scr"));
    HostWindow host(400, 100, StillWidth, StillHeight);
    wintest::Process p;
    ASSERT_TRUE(p.start(lonely.file(L"Lumivane.scr"), host.arg()));
    EXPECT_NE(host.waitForPreview(), nullptr);
    EXPECT_EQ(FindWindowW(nullptr, L"Lumivane (ScreenSaver)"), nullptr) << "a message was shown";
    host.destroy();
    EXPECT_TRUE(p.waitExit(EndTimeoutMs));
}

}  // namespace
