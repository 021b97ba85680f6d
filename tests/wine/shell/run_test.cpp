// Lumivane.scr run as Windows runs it: dispatch, the missing-renderer message, the run host and its end.
#include "support/win_test_support.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "shell/host/run_host_rules.h"

namespace {

constexpr wchar_t RendererTitle[] = L"Glimra_VC";
constexpr wchar_t HostTitle[] = L"Glimra_Main";
constexpr wchar_t DialogTitle[] = L"<Lumivane>";
constexpr wchar_t MessageCaption[] = L"Lumivane (ScreenSaver)";
constexpr wchar_t MessageText[] = L"Lumivane.dll が Lumivane.scr と同じﾌｫﾙﾀﾞに見つかりません！";
constexpr DWORD StartMs = 10000;         // Wine starting a process on a busy machine
constexpr DWORD ShellEndAfterRendererMs = 300;  // watch tick of 50 ms plus process end, with margin
constexpr DWORD QuickEndMs = 4000;

// The fake renderer as a Windows path.
std::wstring fakeRenderer() { return wintest::fromUnixPath(LUMIVANE_FAKE_RENDERER_UNIX); }

// Sets or clears an environment variable that the shell and its renderer inherit.
void setVariable(const wchar_t* name, const std::wstring& value) {
    SetEnvironmentVariableW(name, value.empty() ? nullptr : value.c_str());
}

// A folder holding a copy of Lumivane.scr and, optionally, a renderer under the name Lumivane.dll.
struct SaverFolder {
    wintest::TempDir dir;
    SaverFolder(const wchar_t* tag, const std::wstring& renderer) : dir(tag) {
        EXPECT_TRUE(dir.copyIn(L"Lumivane.scr", L"Lumivane.scr"));
        if (!renderer.empty()) {
            EXPECT_TRUE(dir.copyIn(renderer, L"Lumivane.dll"));
        }
        setVariable(L"LUMIVANE_POINTER_LOG", dir.file(L"pointer.log"));
        setVariable(L"LUMIVANE_FAKE_RENDERER_LOG", dir.file(L"renderer.log"));
        setVariable(L"LUMIVANE_FAKE_RENDERER", L"");
    }
    std::wstring shell() const { return dir.file(L"Lumivane.scr"); }
    std::string pointerLog() const { return wintest::readFileBytes(dir.file(L"pointer.log")); }
    std::string rendererLog() const { return wintest::readFileBytes(dir.file(L"renderer.log")); }
};

// Lines of a small text file.
std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

// Ends a process by id (the renderer, which the shell keeps no handle of).
void killProcessId(DWORD id) {
    if (HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id)) {
        TerminateProcess(h, 99);
        WaitForSingleObject(h, 5000);
        CloseHandle(h);
    }
}

DWORD windowProcess(HWND window) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    return id;
}

// A top-level window of the given process with this title, or null.
HWND windowOf(DWORD processId, const wchar_t* title) {
    HWND found = nullptr;
    while ((found = FindWindowExW(nullptr, found, nullptr, title)) != nullptr)
        if (windowProcess(found) == processId) return found;
    return nullptr;
}

// What a message box shows: its static texts, buttons and whether it has an icon.
struct MessageBoxLook {
    std::wstring text;
    int buttons = 0;
    bool icon = false;
};

BOOL CALLBACK collectChild(HWND child, LPARAM data) {
    auto* look = reinterpret_cast<MessageBoxLook*>(data);
    wchar_t className[64] = {};
    GetClassNameW(child, className, 64);
    const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
    if (lstrcmpiW(className, L"Button") == 0 && (style & WS_VISIBLE)) ++look->buttons;
    if (lstrcmpiW(className, L"Static") == 0) {
        if ((style & SS_TYPEMASK) == SS_ICON) {
            if ((style & WS_VISIBLE) && SendMessageW(child, STM_GETICON, 0, 0) != 0) look->icon = true;
        } else {
            wchar_t text[512] = {};
            GetWindowTextW(child, text, 512);
            if (text[0]) look->text = text;
        }
    }
    return TRUE;
}

MessageBoxLook lookOf(HWND box) {
    MessageBoxLook look;
    EnumChildWindows(box, collectChild, reinterpret_cast<LPARAM>(&look));
    return look;
}

// Polls until the process ends or its message box appears.
HWND waitForMessageBoxOrEnd(wintest::Process& process, DWORD ms) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        if (HWND box = windowOf(process.id(), MessageCaption)) return box;
        if (process.waitExit(10)) return nullptr;
    }
    return nullptr;
}

class ShellRun : public ::testing::Test {
protected:
    void TearDown() override {
        wintest::Process::killByWindowTitle(RendererTitle);
        wintest::Process::killByWindowTitle(HostTitle);
        for (const wchar_t* name : {L"LUMIVANE_POINTER_LOG", L"LUMIVANE_FAKE_RENDERER_LOG", L"LUMIVANE_FAKE_RENDERER"})
            setVariable(name, L"");
    }

    // Starts the shell with `args`, waits for the renderer's window and checks how the renderer was started.
    HWND startRun(SaverFolder& folder, wintest::Process& shell, const std::wstring& args, bool fake) {
        EXPECT_TRUE(shell.start(folder.shell(), args));
        HWND renderer = wintest::waitForWindow(nullptr, RendererTitle, StartMs);
        EXPECT_NE(renderer, nullptr) << "the renderer's window appears";
        EXPECT_NE(windowOf(shell.id(), HostTitle), nullptr) << "the hidden host titled Glimra_Main exists";
        EXPECT_FALSE(IsWindowVisible(windowOf(shell.id(), HostTitle))) << "the host is never shown";
        if (fake) {
            const std::vector<std::string> log = lines(folder.rendererLog());
            EXPECT_GE(log.size(), 2u);
            if (log.size() >= 2) {
                int argc = 0;
                const std::wstring commandLine(log[0].begin(), log[0].end());
                LPWSTR* argv = CommandLineToArgvW(commandLine.c_str(), &argc);
                EXPECT_EQ(argc, 1) << "the renderer gets its path alone: " << log[0];
                if (argc >= 1) {
                    EXPECT_EQ(lstrcmpiW(argv[0], folder.dir.file(L"Lumivane.dll").c_str()), 0) << log[0];
                }
                LocalFree(argv);
                EXPECT_EQ(log[1], std::to_string(STARTF_USESHOWWINDOW) + " " + std::to_string(SW_SHOWNORMAL))
                    << "shown normally";
            }
        }
        return renderer;
    }

    // A real key press ends the renderer; the shell follows within a watch tick or two.
    void keyEndsRun(wintest::Process& shell, HWND renderer) {
        SetForegroundWindow(renderer);
        wintest::pump(200);
        wintest::pressKey(VK_SPACE);
        ASSERT_TRUE(wintest::waitForNoWindow(nullptr, RendererTitle, 5000)) << "the key press ends the renderer";
        const DWORD gone = GetTickCount();
        ASSERT_TRUE(shell.waitExit(5000)) << "the shell ends after its renderer";
        const DWORD lag = GetTickCount() - gone;
        std::printf("shell ended %lu ms after the renderer's window went\n", lag);
        EXPECT_LT(lag, ShellEndAfterRendererMs);
        EXPECT_EQ(FindWindowW(nullptr, HostTitle), nullptr) << "no host is left";
    }
};

TEST_F(ShellRun, SlashSRunsFakeRendererAndRestoresPointer) {
    SaverFolder folder(L"run-s", fakeRenderer());
    wintest::Process shell;
    HWND renderer = startRun(folder, shell, L"/s", true);
    ASSERT_NE(renderer, nullptr);
    EXPECT_EQ(folder.pointerLog(), "hide -1\n") << "the pointer is hidden while the saver runs";
    keyEndsRun(shell, renderer);
    EXPECT_EQ(folder.pointerLog(), "hide -1\nshow 0\n") << "the display count is back where it was";
}

TEST_F(ShellRun, EmptyCommandLineRunsWithoutTouchingThePointer) {
    SaverFolder folder(L"run-empty", fakeRenderer());
    wintest::Process shell;
    HWND renderer = startRun(folder, shell, L"", true);
    ASSERT_NE(renderer, nullptr);
    keyEndsRun(shell, renderer);
    EXPECT_EQ(folder.pointerLog(), "") << "an empty command line never changes the display count";
}

TEST_F(ShellRun, SlashSRunsTheRealRenderer) {
    SaverFolder folder(L"run-real", L"Lumivane.dll");
    wintest::Process shell;
    HWND renderer = startRun(folder, shell, L"/S", false);
    ASSERT_NE(renderer, nullptr);
    const DWORD rendererProcess = windowProcess(renderer);
    wintest::pump(1000);  // the renderer's own first-input rules settle
    keyEndsRun(shell, renderer);
    HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, rendererProcess);
    if (h) {
        EXPECT_EQ(WaitForSingleObject(h, 5000), WAIT_OBJECT_0) << "no renderer process is left";
        CloseHandle(h);
    }
    EXPECT_EQ(folder.pointerLog(), "hide -1\nshow 0\n");
}

TEST_F(ShellRun, CloseMessageFromOutsideEndsTheShellWhileTheRendererRunsOn) {
    SaverFolder folder(L"run-close", fakeRenderer());
    wintest::Process shell;
    HWND renderer = startRun(folder, shell, L"/s", true);
    ASSERT_NE(renderer, nullptr);
    HWND host = windowOf(shell.id(), HostTitle);
    ASSERT_NE(host, nullptr);
    PostMessageW(host, WM_CLOSE, 0, 0);
    EXPECT_TRUE(shell.waitExit(3000)) << "the close request is never refused";
    EXPECT_TRUE(IsWindow(renderer)) << "the renderer runs on";
    EXPECT_EQ(folder.pointerLog(), "hide -1\nshow 0\n");
}

TEST_F(ShellRun, RendererThatNeverShowsItsWindowEndsTheRunAfterTheGracePeriod) {
    SaverFolder folder(L"run-nowindow", fakeRenderer());
    setVariable(L"LUMIVANE_FAKE_RENDERER", L"nowindow");
    wintest::Process shell;
    const DWORD start = GetTickCount();
    ASSERT_TRUE(shell.start(folder.shell(), L"/s"));
    ASSERT_NE(wintest::waitForWindow(nullptr, HostTitle, StartMs), nullptr);
    const DWORD loaded = GetTickCount();
    EXPECT_FALSE(shell.waitExit(RendererGraceMs - 1000)) << "the host waits for a slow renderer";
    ASSERT_TRUE(shell.waitExit(StartMs)) << "but not forever";
    const DWORD ended = GetTickCount();
    std::printf("host loaded after %lu ms, run ended %lu ms after load\n", loaded - start, ended - loaded);
    EXPECT_LT(ended - loaded, RendererGraceMs + 1500);
    EXPECT_EQ(folder.pointerLog(), "hide -1\nshow 0\n");
    const std::vector<std::string> log = lines(folder.rendererLog());
    ASSERT_GE(log.size(), 3u) << "the renderer was started";
    killProcessId(static_cast<DWORD>(std::stoul(log[2])));
}

TEST_F(ShellRun, MissingRendererShowsTheMessageAndEnds) {
    SaverFolder folder(L"no-renderer", L"");
    for (const wchar_t* args : {L"/s", L"/c", L"", L"/a"}) {
        SCOPED_TRACE(testing::Message() << "command line \"" << std::string(args, args + lstrlenW(args)) << "\"");
        wintest::Process shell;
        ASSERT_TRUE(shell.start(folder.shell(), args));
        HWND box = waitForMessageBoxOrEnd(shell, StartMs);
        ASSERT_NE(box, nullptr) << "the missing-renderer message appears";
        const MessageBoxLook look = lookOf(box);
        EXPECT_EQ(look.text, std::wstring(MessageText));
        EXPECT_EQ(look.buttons, 1) << "OK only";
        EXPECT_FALSE(look.icon) << "no icon";
        wchar_t caption[128] = {};
        GetWindowTextW(box, caption, 128);
        EXPECT_STREQ(caption, MessageCaption);
        EXPECT_FALSE(shell.waitExit(300)) << "the shell waits for the message to be dismissed";
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(shell.waitExit(QuickEndMs)) << "and ends when it is";
        EXPECT_EQ(FindWindowW(nullptr, HostTitle), nullptr);
        EXPECT_EQ(folder.pointerLog(), "") << "no run, so no pointer change";
    }
}

TEST_F(ShellRun, PreviewNeedsNoRendererAndShowsNoMessage) {
    SaverFolder folder(L"no-renderer-preview", L"");
    wintest::Process shell;
    ASSERT_TRUE(shell.start(folder.shell(), L"/p 1234"));
    EXPECT_EQ(waitForMessageBoxOrEnd(shell, 2000), nullptr) << "no message in preview mode";
}

// A marker window in this process that a new shell must take for a running saver or an open dialog.
class MarkerWindow {
public:
    explicit MarkerWindow(const wchar_t* title)
        : window_(CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr)) {}
    ~MarkerWindow() { DestroyWindow(window_); }
    HWND get() const { return window_; }
private:
    HWND window_;
};

TEST_F(ShellRun, AnyCommandLineEndsAtOnceBesideARunningSaverOrOpenDialog) {
    // No renderer in the folder: a shell that went past the single-instance test would show its message.
    SaverFolder folder(L"single", L"");
    for (const wchar_t* title : {HostTitle, DialogTitle}) {
        MarkerWindow marker(title);
        ASSERT_NE(marker.get(), nullptr);
        for (const wchar_t* args : {L"/s", L"", L"/c", L"/a", L"/p 1234"}) {
            SCOPED_TRACE(testing::Message() << "marker " << std::string(title, title + lstrlenW(title))
                                            << ", command line \"" << std::string(args, args + lstrlenW(args)) << "\"");
            wintest::Process shell;
            ASSERT_TRUE(shell.start(folder.shell(), args));
            EXPECT_EQ(waitForMessageBoxOrEnd(shell, QuickEndMs), nullptr) << "no message";
            EXPECT_TRUE(shell.waitExit(0)) << "the shell ended";
            EXPECT_EQ(shell.exitCode(), 0u);
        }
    }
    // And without the marker, the same folder does show the message: the check above is not idle.
    wintest::Process shell;
    ASSERT_TRUE(shell.start(folder.shell(), L"/s"));
    HWND box = waitForMessageBoxOrEnd(shell, StartMs);
    EXPECT_NE(box, nullptr);
    if (box) PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(shell.waitExit(QuickEndMs));
}

}  // namespace
