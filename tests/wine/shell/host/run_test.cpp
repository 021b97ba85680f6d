// Lumivane.scr run as Windows runs it: dispatch, the missing-renderer message, the run host and its end.
#include "support/win_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/names.h"
#include "shell/host/run_host_rules.h"

namespace {

constexpr const wchar_t* RendererTitle = SaverRunningTitleW;
constexpr const wchar_t* HostTitle = RunHostTitle;
constexpr wchar_t MessageCaption[] = L"Lumivane (ScreenSaver)";
constexpr wchar_t MessageText[] = L"Lumivane.dll が Lumivane.scr と同じﾌｫﾙﾀﾞに見つかりません！";
constexpr wchar_t NotStartedText[] = L"Lumivane.dll を起動できません！";
constexpr wchar_t LockName[] = L"Local\\Lumivane.Shell";
constexpr char PointerHiddenAndRestored[] = "hide -1\nshow 0\n";
constexpr DWORD StartMs = 10000;                // Wine starting a process on a busy machine
constexpr DWORD ShellEndAfterRendererMs = 300;  // watch tick of 50 ms plus process end, with margin
constexpr DWORD QuickEndMs = 4000;

// A folder holding a copy of Lumivane.scr and, optionally, a renderer under the name Lumivane.dll.
struct SaverFolder {
    wintest::TempDir dir;
    SaverFolder(const wchar_t* tag, const std::wstring& renderer) : dir(tag) {
        EXPECT_TRUE(dir.copyIn(L"Lumivane.scr", L"Lumivane.scr"));
        EXPECT_TRUE(renderer.empty() || dir.copyIn(renderer, L"Lumivane.dll"));
        SetEnvironmentVariableW(L"LUMIVANE_POINTER_LOG", dir.file(L"pointer.log").c_str());
        SetEnvironmentVariableW(L"LUMIVANE_FAKE_RENDERER_LOG", dir.file(L"renderer.log").c_str());
        SetEnvironmentVariableW(L"LUMIVANE_FAKE_RENDERER", nullptr);
    }
    std::wstring shell() const { return dir.file(L"Lumivane.scr"); }
    std::string pointerLog() const { return wintest::readFileBytes(dir.file(L"pointer.log")); }
    std::string rendererLog() const { return wintest::readFileBytes(dir.file(L"renderer.log")); }
};

std::wstring fakeRenderer() { return wintest::fromUnixPath(LUMIVANE_FAKE_RENDERER_UNIX); }

// Polls until the process ends (null) or its message box appears.
HWND waitForMessageBoxOrEnd(wintest::Process& process, DWORD ms) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        if (HWND box = FindWindowW(nullptr, MessageCaption)) return box;
        if (process.waitExit(10)) return nullptr;
    }
    return nullptr;
}

// What a message box shows: its text, its visible buttons and whether it has an icon.
struct BoxLook {
    std::wstring text;
    int buttons = 0;
    bool icon = false;
};

BOOL CALLBACK collectBoxLook(HWND child, LPARAM data) {
    BoxLook& look = *reinterpret_cast<BoxLook*>(data);
    wchar_t className[16] = {}, text[256] = {};
    GetClassNameW(child, className, 16);
    GetWindowTextW(child, text, 256);
    const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
    const bool shown = (style & WS_VISIBLE) != 0;
    if (lstrcmpiW(className, L"Button") == 0) look.buttons += shown ? 1 : 0;
    else if ((style & SS_TYPEMASK) == SS_ICON) look.icon |= shown && SendMessageW(child, STM_GETICON, 0, 0) != 0;
    else if (text[0]) look.text = text;
    return TRUE;
}

// Ends a process by id (the renderer, of which the shell keeps no handle) and waits for its end.
bool endProcess(DWORD id, bool kill) {
    HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
    if (!h) return true;
    if (kill) TerminateProcess(h, 99);
    const bool ended = WaitForSingleObject(h, 5000) == WAIT_OBJECT_0;
    CloseHandle(h);
    return ended;
}

class ShellRun : public ::testing::Test {
protected:
    void TearDown() override {
        wintest::Process::killByWindowTitle(RendererTitle);
        wintest::Process::killByWindowTitle(HostTitle);
    }
};

TEST_F(ShellRun, KeyEndsRendererThenShellWithPointerRestored) {
    struct Case { const wchar_t* args; bool fake; const char* pointerLog; };
    for (const Case& c : {Case{L"/s", true, PointerHiddenAndRestored}, Case{L"", true, ""},
                          Case{L"/S", false, PointerHiddenAndRestored}}) {
        SCOPED_TRACE(testing::Message() << "\"" << c.args << "\" " << (c.fake ? "stand-in" : "real renderer"));
        SaverFolder folder(L"run", c.fake ? fakeRenderer() : L"Lumivane.dll");
        wintest::Process shell;
        ASSERT_TRUE(shell.start(folder.shell(), c.args));
        HWND renderer = wintest::waitForWindow(nullptr, RendererTitle, StartMs);
        ASSERT_NE(renderer, nullptr) << "the renderer's window appears";
        HWND host = FindWindowW(nullptr, HostTitle);
        EXPECT_TRUE(host && !IsWindowVisible(host)) << "a hidden host titled Glimra_Main";
        if (c.fake) {
            int argc = 0;
            unsigned long flags = 0, show = 0, id = 0;
            EXPECT_EQ(std::sscanf(folder.rendererLog().c_str(), "%d %lu %lu %lu", &argc, &flags, &show, &id), 4);
            EXPECT_EQ(argc, 1) << "the renderer gets no arguments";
            EXPECT_TRUE(flags & STARTF_USESHOWWINDOW);
            EXPECT_EQ(show, static_cast<unsigned long>(SW_SHOWNORMAL));
        }
        DWORD rendererId = 0;
        GetWindowThreadProcessId(renderer, &rendererId);
        if (!c.fake) wintest::pump(1000);  // the real renderer ignores input right after its start

        SetForegroundWindow(renderer);
        wintest::pump(200);
        wintest::pressKey(VK_SPACE);
        ASSERT_TRUE(wintest::waitForNoWindow(nullptr, RendererTitle, 5000)) << "the key press ends the renderer";
        const DWORD gone = GetTickCount();
        ASSERT_TRUE(shell.waitExit(5000)) << "the shell ends after its renderer";
        const DWORD lag = GetTickCount() - gone;
        std::printf("shell ended %lu ms after the renderer's window went\n", lag);
        EXPECT_LT(lag, ShellEndAfterRendererMs);
        EXPECT_TRUE(endProcess(rendererId, false)) << "no renderer process is left";
        EXPECT_EQ(folder.pointerLog(), c.pointerLog);
    }
}

TEST_F(ShellRun, CloseMessageFromOutsideEndsTheShellWhileTheRendererRunsOn) {
    SaverFolder folder(L"run-close", fakeRenderer());
    wintest::Process shell;
    ASSERT_TRUE(shell.start(folder.shell(), L"/s"));
    HWND renderer = wintest::waitForWindow(nullptr, RendererTitle, StartMs);
    ASSERT_NE(renderer, nullptr);
    HWND host = FindWindowW(nullptr, HostTitle);
    ASSERT_NE(host, nullptr);
    PostMessageW(host, WM_CLOSE, 0, 0);
    EXPECT_TRUE(shell.waitExit(3000)) << "the close request is never refused";
    EXPECT_TRUE(IsWindow(renderer)) << "the renderer runs on";
    EXPECT_EQ(folder.pointerLog(), PointerHiddenAndRestored);
}

// The message box's caption, text, buttons and icon against the missing-renderer form.
void expectMessageBox(HWND box, const wchar_t* text) {
    BoxLook look;
    EnumChildWindows(box, collectBoxLook, reinterpret_cast<LPARAM>(&look));
    EXPECT_EQ(look.text, std::wstring(text));
    EXPECT_EQ(look.buttons, 1) << "OK only";
    EXPECT_FALSE(look.icon);
    wchar_t caption[64] = {};
    GetWindowTextW(box, caption, 64);
    EXPECT_STREQ(caption, MessageCaption);
}

TEST_F(ShellRun, RendererThatCannotStartOrNeverShowsItsWindowIsReportedAndTheRunFails) {
    struct Case { const char* name; std::string fileBytes; bool noWindow; };
    std::string randomBytes(4096, '\0');
    for (size_t i = 0; i < randomBytes.size(); ++i) randomBytes[i] = static_cast<char>((i * 2654435761u) >> 13);
    for (const Case& c : {Case{"empty file", "", false}, Case{"random bytes", randomBytes, false},
                          Case{"window never shown", "", true}}) {
        SCOPED_TRACE(c.name);
        SaverFolder folder(L"run-broken", c.noWindow ? fakeRenderer() : L"");
        if (c.noWindow) {
            SetEnvironmentVariableW(L"LUMIVANE_FAKE_RENDERER", L"nowindow");
        } else {
            ASSERT_TRUE(wintest::writeFileBytes(folder.dir.file(L"Lumivane.dll"), c.fileBytes));
        }
        wintest::Process shell;
        ASSERT_TRUE(shell.start(folder.shell(), L"/s"));
        const DWORD started = GetTickCount();
        HWND box = waitForMessageBoxOrEnd(shell, StartMs + RendererGraceMs);
        ASSERT_NE(box, nullptr) << "the failure is shown";
        const DWORD shownAfter = GetTickCount() - started;
        std::printf("%s: message after %lu ms\n", c.name, shownAfter);
        if (c.noWindow) {
            EXPECT_GE(shownAfter, RendererGraceMs - 100) << "a slow renderer gets its grace period";
        }
        expectMessageBox(box, NotStartedText);
        EXPECT_EQ(folder.pointerLog(), PointerHiddenAndRestored) << "the pointer is back before the message";
        EXPECT_FALSE(shell.waitExit(300)) << "the shell waits for the message to be dismissed";
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(shell.waitExit(QuickEndMs));
        EXPECT_NE(shell.exitCode(), 0u) << "a failed run does not end as a good one";
        if (c.noWindow) {
            unsigned long argc = 0, flags = 0, show = 0, id = 0;
            ASSERT_EQ(std::sscanf(folder.rendererLog().c_str(), "%lu %lu %lu %lu", &argc, &flags, &show, &id), 4);
            endProcess(id, true);
        }
    }
}

TEST_F(ShellRun, MessageForAMissingRendererUnlessPreviewOrAnotherInstanceShowsOrHoldsTheLock) {
    // No renderer here: a shell that went past the single-instance test would show its message.
    SaverFolder folder(L"no-renderer", L"");
    // A marker window of an older copy, or the lock of a shell that has not made its window yet.
    struct Marker { const wchar_t* title; bool lock; };
    for (const Marker& marker : {Marker{L"", false}, Marker{HostTitle, false}, Marker{SettingsDialogTitle, false},
                                 Marker{L"", true}}) {
        HWND markerWindow = *marker.title ? CreateWindowExW(0, L"STATIC", marker.title, WS_OVERLAPPED, 0, 0, 10, 10,
                                                            nullptr, nullptr, nullptr, nullptr)
                                          : nullptr;
        ASSERT_TRUE(!*marker.title || markerWindow);
        HANDLE lock = marker.lock ? CreateMutexW(nullptr, FALSE, LockName) : nullptr;
        for (const wchar_t* args : {L"/s", L"/c", L"", L"/a", L"/p 1234"}) {
            SCOPED_TRACE(testing::Message() << "marker \"" << marker.title << "\"" << (marker.lock ? " and lock" : "")
                                            << ", command line \"" << args << "\"");
            const std::wstring line = args;
            // Only the saver and the settings take the lock; /a goes on to its renderer check.
            const bool message = line != L"/p 1234" && (marker.lock ? line == L"/a" : !*marker.title);
            wintest::Process shell;
            ASSERT_TRUE(shell.start(folder.shell(), args));
            HWND box = waitForMessageBoxOrEnd(shell, message ? StartMs : QuickEndMs);
            if (!message) {
                EXPECT_EQ(box, nullptr);
                EXPECT_TRUE(shell.waitExit(0)) << "the shell ended at once";
                continue;
            }
            ASSERT_NE(box, nullptr) << "the missing-renderer message appears";
            expectMessageBox(box, MessageText);
            EXPECT_FALSE(shell.waitExit(300)) << "the shell waits for the message to be dismissed";
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            EXPECT_TRUE(shell.waitExit(QuickEndMs)) << "and ends when it is";
        }
        if (markerWindow) DestroyWindow(markerWindow);
        if (lock) CloseHandle(lock);
    }
    EXPECT_EQ(folder.pointerLog(), "") << "no run, so no pointer change";
}

TEST_F(ShellRun, PreviewsTakeNoLockSoTwoStandSideBySideAndNeitherKeepsOutTheSettings) {
    SaverFolder folder(L"previews", L"");
    HWND hosts[2] = {};
    wintest::Process previews[2];
    for (int i = 0; i < 2; ++i) {
        hosts[i] = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 50 + 200 * i, 50, 152, 112, nullptr,
                                   nullptr, nullptr, nullptr);
        ASSERT_NE(hosts[i], nullptr);
        ASSERT_TRUE(previews[i].start(folder.shell(), L"/p " + std::to_wstring(reinterpret_cast<LONG_PTR>(hosts[i]))));
    }
    for (int i = 0; i < 2; ++i) {
        const DWORD start = GetTickCount();
        while (!FindWindowExW(hosts[i], nullptr, nullptr, PreviewTitle) && GetTickCount() - start < StartMs)
            wintest::pump(20);
        EXPECT_NE(FindWindowExW(hosts[i], nullptr, nullptr, PreviewTitle), nullptr) << "preview " << i;
        EXPECT_TRUE(previews[i].running()) << "preview " << i;
    }
    // With no renderer beside it, a settings start that is not kept out shows its message.
    wintest::Process settings;
    ASSERT_TRUE(settings.start(folder.shell(), L"/c"));
    HWND box = waitForMessageBoxOrEnd(settings, StartMs);
    ASSERT_NE(box, nullptr) << "the previews kept the settings out";
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(settings.waitExit(QuickEndMs));
    for (HWND host : hosts) DestroyWindow(host);
}

}  // namespace
