// Lumivane.scr started as Windows starts it, beside previews in host windows of this process and another.
#include "support/win_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "common/names.h"

namespace {

constexpr wchar_t Caption[] = L"Lumivane (ScreenSaver)";
constexpr wchar_t MissingText[] = L"Lumivane.dll が Lumivane.scr と同じﾌｫﾙﾀﾞに見つかりません！";
constexpr wchar_t NotStartedText[] = L"Lumivane.dll を起動できません！";
constexpr DWORD StartMs = 10000;      // Wine starting a process on a busy machine
constexpr DWORD PreviewEndMs = 1000;  // a preview's end after its host's
constexpr DWORD QuickEndMs = 2000;    // a start with nothing to do
constexpr DWORD RendererEndMs = 1000; // the renderer's end after its shell's
constexpr DWORD SceneRunMs = 6000;    // a saver run watched for its picture

std::wstring previewArgs(HWND host) { return L"/p " + std::to_wstring(reinterpret_cast<LONG_PTR>(host)); }

// What a message box shows: its caption, then its visible controls' texts (the buttons first) or icon.
std::wstring lookOf(HWND box) {
    std::wstring look = wintest::textOf(box);
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        const bool icon = (GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
        if (icon && !SendMessageW(child, STM_GETICON, 0, 0)) continue;  // an empty icon control shows nothing
        look += icon ? L" [icon]" : L" [" + wintest::textOf(child) + L"]";
    }
    return look;
}

// From a folder without a renderer, beside two previews side by side that keep out nothing, each start
// tells of the missing renderer unless it is a preview (of no window or the desktop: it ends at once; of a
// window: it shows, whatever other shell runs) or another shell shows or holds the lock; an empty renderer cannot start, and that run fails. Each preview
// ends within a second of its host. Last, a close message from outside, or the end of the shell's process,
// ends a run and its real renderer with it (the end on a key is the music tests').
TEST(ShellStarts, TellOfTheRendererUnlessAnotherShellRunsAndBlockNothingBesidePreviews) {
    wintest::TempDir folder(L"shell");
    const std::wstring shell = folder.file(L"Lumivane.scr");
    const std::wstring standIn = wintest::fromUnixPath(LUMIVANE_FAKE_RENDERER_UNIX);
    ASSERT_TRUE(folder.copyIn(L"Lumivane.scr", L"Lumivane.scr"));
    SetEnvironmentVariableW(L"LUMIVANE_POINTER_LOG", folder.file(L"pointer.log").c_str());
    wintest::Process hostProcess;  // the stand-in renderer's window hosts the second preview
    ASSERT_TRUE(hostProcess.start(standIn));
    const HWND hosts[2] = {CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 500, 50, 152, 112, nullptr,
                                           nullptr, nullptr, nullptr),
                           wintest::waitForWindow(nullptr, SaverRunningTitleW, StartMs)};
    wintest::Process previews[2];
    for (int i = 0; i < 2; ++i) ASSERT_TRUE(hosts[i] && previews[i].start(shell, previewArgs(hosts[i])));
    for (HWND host : hosts) {
        EXPECT_TRUE(wintest::within(StartMs, [host] {
            wintest::pump(10);  // the host windows of this thread answer the preview's messages
            HWND preview = FindWindowExW(host, nullptr, nullptr, PreviewTitle);
            return preview && IsWindowVisible(preview);
        })) << "a preview is not shown";
    }
    // "/p <host>": a preview in a host window of its own, which must show even
    // while a saver runs or the settings dialog is open (the system's settings start it again as they close).
    struct Case { std::wstring args; const wchar_t* marker; bool lock; const wchar_t* text; bool preview = false; };
    const Case cases[] = {
        {L"/s", nullptr, false, MissingText}, {L"/c", nullptr, false, MissingText}, {L"", nullptr, false, MissingText},
        {L"/p 0", nullptr, false, nullptr}, {L"/p 999999", nullptr, false, nullptr},
        {previewArgs(GetDesktopWindow()), nullptr, false, nullptr}, {L"/s", RunHostTitle, false, nullptr},
        {L"/c", SettingsDialogTitle, false, nullptr}, {L"/s", nullptr, true, nullptr}, {L"/c", nullptr, true, nullptr},
        {L"/p <host>", SettingsDialogTitle, true, nullptr, true}, {L"/p <host>", RunHostTitle, true, nullptr, true},
        {L"/s", nullptr, false, NotStartedText}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases << ", \"" << c.args << "\"");
        // A marker window of an older copy, or the lock of a shell that has not made its window yet.
        HWND marker = c.marker ? CreateWindowExW(0, L"STATIC", c.marker, 0, 0, 0, 9, 9, 0, 0, 0, 0) : nullptr;
        HANDLE lock = c.lock ? CreateMutexW(nullptr, FALSE, L"Local\\Lumivane.Shell") : nullptr;
        if (c.text == NotStartedText) {
            ASSERT_TRUE(wintest::writeFileBytes(folder.file(L"Lumivane.dll"), ""));
        }
        wintest::Process start;
        if (c.preview) {
            HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 700, 50, 152, 112, nullptr,
                                        nullptr, nullptr, nullptr);
            ASSERT_TRUE(host && start.start(shell, previewArgs(host)));
            EXPECT_TRUE(wintest::within(StartMs, [host] {
                wintest::pump(10);
                HWND preview = FindWindowExW(host, nullptr, nullptr, PreviewTitle);
                return preview && IsWindowVisible(preview);
            })) << "the preview was kept out";
            DestroyWindow(host);
            EXPECT_TRUE(start.waitExit(PreviewEndMs)) << "the preview outlived its host window";
            DestroyWindow(marker);
            CloseHandle(lock);
            continue;
        }
        ASSERT_TRUE(start.start(shell, c.args));
        HWND box = nullptr;  // the message, or none once the shell has ended
        wintest::within(c.text ? StartMs : QuickEndMs,
                        [&] { return (box = FindWindowW(nullptr, Caption)) != nullptr || start.waitExit(0); });
        if (c.text) {
            ASSERT_NE(box, nullptr) << "no message";
            EXPECT_EQ(lookOf(box), std::wstring(Caption) + L" [OK] [" + c.text + L"]") << "OK only, no icon";
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
        EXPECT_TRUE(start.waitExit(c.text ? QuickEndMs : 0)) << "the shell did not end at once";
        EXPECT_EQ(start.exitCode() != 0, c.text == NotStartedText) << "only the run that failed fails";
        if (marker) DestroyWindow(marker);
        if (lock) CloseHandle(lock);
    }
    EXPECT_TRUE(previews[0].running() && previews[1].running());
    DestroyWindow(hosts[0]);
    EXPECT_TRUE(previews[0].waitExit(PreviewEndMs)) << "the preview outlived its host window";
    hostProcess.kill();
    EXPECT_TRUE(previews[1].waitExit(PreviewEndMs)) << "the preview outlived its host's process";

    // The real renderer ends with the shell that started it, however the shell ends; started alone (or with a
    // number that is no handle of its own) it runs on.
    ASSERT_TRUE(folder.copyIn(L"Lumivane.dll", L"Lumivane.dll"));
    for (bool closed : {true, false}) {
        SCOPED_TRACE(closed ? "the run host closed" : "the shell's process ended");
        wintest::Process run;
        ASSERT_TRUE(run.start(shell, L""));
        HWND renderer = wintest::waitForWindow(nullptr, SaverRunningTitleW, StartMs);
        ASSERT_NE(renderer, nullptr) << "the renderer's window appears";
        if (closed) {
            ASSERT_TRUE(PostMessageW(FindWindowW(nullptr, RunHostTitle), WM_CLOSE, 0, 0));
            EXPECT_TRUE(run.waitExit(QuickEndMs)) << "the close request is never refused";
        } else {
            run.kill();
        }
        EXPECT_TRUE(wintest::within(RendererEndMs, [renderer] { return !IsWindow(renderer); }))
            << "the renderer outlived its shell";
        wintest::Process::killByWindowTitle(SaverRunningTitleW);
    }
    for (const wchar_t* args : {L"", L"/shell:999999"}) {
        SCOPED_TRACE(args);
        wintest::Process alone;
        ASSERT_TRUE(alone.start(folder.file(L"Lumivane.dll"), args));
        ASSERT_NE(wintest::waitForWindow(nullptr, SaverRunningTitleW, StartMs), nullptr);
        EXPECT_FALSE(alone.waitExit(RendererEndMs)) << "a renderer started alone ended by itself";
        alone.kill();
    }
    EXPECT_EQ(wintest::readFileBytes(folder.file(L"pointer.log")), "hide -1\nshow 0\n") << "only the failed /s hid it";
}

// The pixels a saver run lights at most over `ms`, the settings file holding `keys`; the run is closed after.
int mostLitBySaver(const wintest::TempDir& folder, const std::string& keys, DWORD ms) {
    EXPECT_TRUE(wintest::writeFileBytes(folder.file(L"Lumivane.ini"), "[Section]\r\n" + keys));
    wintest::Process run;
    EXPECT_TRUE(run.start(folder.file(L"Lumivane.scr"), L"/s"));
    HWND renderer = wintest::waitForWindow(nullptr, SaverRunningTitleW, StartMs);
    EXPECT_NE(renderer, nullptr) << "no renderer for " << keys;
    int most = 0;
    for (const DWORD start = GetTickCount(); renderer && GetTickCount() - start < ms; Sleep(200)) {
        most = std::max(most, wintest::litPixels(wintest::screenRect(renderer)));
    }
    PostMessageW(FindWindowW(nullptr, RunHostTitle), WM_CLOSE, 0, 0);
    EXPECT_TRUE(run.waitExit(QuickEndMs));
    EXPECT_TRUE(wintest::within(RendererEndMs, [renderer] { return !IsWindow(renderer); }));
    return most;
}

// The scene keys of the settings file reach the renderer through the run host: the fewest particles light far
// fewer pixels than the most, and with Trails at 0 the most particles leave no trail behind them, where the longest
// trails light many times more. Every run plays the same seed's scene, so that the scene's luck does not decide.
TEST(ShellRuns, TheSceneKeysReachTheRenderer) {
    ASSERT_TRUE(SetEnvironmentVariableW(L"LUMIVANE_SEED", L"9"));  // the renderer inherits it through the shell
    wintest::TempDir folder(L"scene-run");
    ASSERT_TRUE(folder.copyIn(L"Lumivane.scr", L"Lumivane.scr") && folder.copyIn(L"Lumivane.dll", L"Lumivane.dll"));
    const int fewest = mostLitBySaver(folder, "Particles= 50\r\n", SceneRunMs);
    const int most = mostLitBySaver(folder, "Particles= 5000\r\n", SceneRunMs);
    const int longest = mostLitBySaver(folder, "Particles= 5000\r\nTrails= 100\r\n", SceneRunMs);
    const int none = mostLitBySaver(folder, "Particles= 5000\r\nTrails= 0\r\n", SceneRunMs);
    std::printf("lit pixels: 50 particles %d, 5000 %d; 5000 with the longest trails %d, with none %d\n", fewest, most,
                longest, none);
    SetEnvironmentVariableW(L"LUMIVANE_SEED", nullptr);
    EXPECT_GT(most, 10 * fewest);
    EXPECT_GT(longest, 4 * none);
}

// DLLs of the system's names planted beside the programs, with Wine told (by the test's environment) to prefer
// such files to its own: the saver still draws, and so does a preview in the shell, and no planted DLL was ever
// loaded.
TEST(ShellRuns, NoDllPlantedBesideThemIsLoaded) {
    wintest::TempDir folder(L"planted");
    ASSERT_TRUE(folder.copyIn(L"Lumivane.scr", L"Lumivane.scr") && folder.copyIn(L"Lumivane.dll", L"Lumivane.dll"));
    // Not comctl32: Wine's own shell32 imports it by name as the shell starts, from the program's folder first,
    // where Windows resolves that import side by side.
    const std::wstring names[] = {L"opengl32.dll", L"msimg32.dll", L"winmm.dll"};
    for (const std::wstring& name : names) {
        ASSERT_TRUE(folder.copyIn(wintest::fromUnixPath(LUMIVANE_PLANTED_DLL_UNIX), name.c_str()));
    }
    wchar_t overrides[512] = L"";
    GetEnvironmentVariableW(L"WINEDLLOVERRIDES", overrides, 512);
    ASSERT_NE(std::wstring(overrides).find(L"opengl32,msimg32,winmm=n,b"), std::wstring::npos)
        << "Wine does not prefer the planted files: " << overrides;
    const int saver = mostLitBySaver(folder, "", SceneRunMs);
    HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 500, 50, 152, 112, nullptr, nullptr,
                                nullptr, nullptr);
    wintest::Process preview;
    ASSERT_TRUE(host && preview.start(folder.file(L"Lumivane.scr"), previewArgs(host)));
    int previewLit = 0;
    wintest::within(StartMs, [&] {
        wintest::pump(10);
        return (previewLit = wintest::litPixels(wintest::screenRect(host))) > 20;
    });
    DestroyWindow(host);
    EXPECT_TRUE(preview.waitExit(PreviewEndMs));
    EXPECT_GT(saver, 1000) << "the saver drew nothing";
    EXPECT_GT(previewLit, 20) << "the preview drew nothing";
    for (const std::wstring& name : names) {
        EXPECT_EQ(GetFileAttributesW(folder.file((name + L".loaded").c_str()).c_str()), INVALID_FILE_ATTRIBUTES) << name;
    }
}

}  // namespace
