// Run host window: translates load, timer ticks and close requests into the host's decisions.
#include "shell/host/run_host.h"

#include <string>

#include "common/names.h"
#include "common/window_record.h"
#include "shell/host/pointer.h"
#include "shell/host/run_host_rules.h"
#include "shell/music/system_ports.h"
#include "shell/system/file_calls.h"
#include "shell/system/window_calls.h"

namespace {
// Ids of the host's three timers.
constexpr UINT_PTR Mp3RestartTimer = 1;
constexpr UINT_PTR CdTickTimer = 2;
constexpr UINT_PTR RendererWatchTimer = 3;

// Everything the host keeps between events.
struct RunHost {
    // Starts a host for one run with the settings it plays.
    explicit RunHost(const ShellSettings& s) : settings(s) {}

    const ShellSettings& settings;
    HWND window = nullptr;
    wchar_t modeLetter = 0;
    bool mp3TimerRunning = false;
    bool cdTimerRunning = false;
    bool watchTimerRunning = false;
    bool musicStarted = false;
    bool rendererFailed = false;
    HANDLE renderer = nullptr;  // the renderer's process, for the watch; closed as the process ends
    RendererWatch watch{0};
    SystemMciPort mci;
    SystemSoundPort sound;
    MusicPlayer music{mci, sound};
};

// A handle of this process that a child inherits, with no right but to wait for its end; null where
// the system refuses it. Closed as the process ends.
HANDLE inheritableSelf() {
    HANDLE self = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self, SYNCHRONIZE, TRUE, 0))
        return nullptr;
    return self;
}

// Starts or stops one of the host's timers and keeps its running state.
void setTimerRunning(RunHost& host, UINT_PTR id, unsigned intervalMs, bool& running, bool run) {
    if (run && !running) running = SetTimer(host.window, id, intervalMs, nullptr) != 0;
    if (!run && running) {
        KillTimer(host.window, id);
        running = false;
    }
}

// The music the settings choose; started once the renderer's window exists, so that a renderer
// that fails plays nothing.
void startMusic(RunHost& host) {
    host.musicStarted = true;
    const LoadPlan plan = planLoad(host.settings);
    if (plan.cdOpen) host.music.openCd();
    if (plan.wavPlay) host.music.playWav(host.settings.musicFile);
    if (plan.mp3Play) host.music.playMp3(host.settings.musicFile);
    if (plan.startMp3Timer) setTimerRunning(host, Mp3RestartTimer, Mp3RestartIntervalMs, host.mp3TimerRunning, true);
    if (plan.startCdTimer) setTimerRunning(host, CdTickTimer, CdTickIntervalMs, host.cdTimerRunning, true);
}

// The renderer failed before its window appeared: no music was started; one still living is ended,
// so that it cannot show up after the message. The pointer comes back and the loop ends, so that
// the caller can tell the user.
void abandonRun(RunHost& host) {
    setTimerRunning(host, RendererWatchTimer, RendererWatchIntervalMs, host.watchTimerRunning, false);
    if (host.renderer != nullptr) TerminateProcess(host.renderer, 1);
    if (planClose(false, false, host.settings, host.modeLetter).showPointer) setPointerShown(true);
    host.rendererFailed = true;
    DestroyWindow(host.window);
    PostQuitMessage(0);
}

// Load: the renderer is started and watched; the music waits for its window.
void startRun(RunHost& host) {
    host.watch = RendererWatch(GetTickCount());
    setTimerRunning(host, RendererWatchTimer, RendererWatchIntervalMs, host.watchTimerRunning, true);
    // The renderer watches this handle and ends with the shell, however the shell ends.
    const HANDLE self = inheritableSelf();
    host.renderer = startProgram(ownFolderPath() + L"\\" + RendererFileName,
                                 rendererArguments(host.settings, reinterpret_cast<uintptr_t>(self)), self);
    if (host.renderer == nullptr) abandonRun(host);
}

// The guard of the music's stop: ends the process once the bound has passed.
DWORD WINAPI endProcessAfterMusicBound(void*) {
    Sleep(MusicStopBoundMs);
    TerminateProcess(GetCurrentProcess(), 0);
    return 0;
}

// Close request: pointer back for /s, music off, then the process ends; never refused. A sound
// system that does not let go of the music within its bound is left behind: the process ends
// at once, without the usual clean-up that could wait on it as well.
[[noreturn]] void endRun(RunHost& host) {
    const ClosePlan plan = planClose(host.musicStarted, host.cdTimerRunning, host.settings, host.modeLetter);
    if (plan.showPointer) setPointerShown(true);
    // The devices are stopped from the thread that opened them, while a guard thread ends the
    // process should a stop not return within its bound.
    HANDLE guard = CreateThread(nullptr, 0, endProcessAfterMusicBound, nullptr, 0, nullptr);
    if (plan.stopCdAndTimer) {
        setTimerRunning(host, CdTickTimer, CdTickIntervalMs, host.cdTimerRunning, false);
        host.music.stopCd();
    }
    if (plan.wavStop) host.music.stopWav();
    if (plan.mp3Stop) host.music.stopMp3(host.settings.musicFile);
    if (guard != nullptr) CloseHandle(guard);
    ExitProcess(0);
}

// Renderer watch: the first sighting starts the music, however late; a window gone ends the run; a
// process that ended without a window, or showed none within the bound, fails it.
void watchRenderer(RunHost& host) {
    const bool windowFound = findTopWindow(SaverRunningTitleW) != nullptr;
    const bool processLives = WaitForSingleObject(host.renderer, 0) == WAIT_TIMEOUT;
    switch (host.watch.tick(windowFound, processLives, GetTickCount())) {
        case WatchResult::Waiting:
        case WatchResult::Running:
            return;
        case WatchResult::Appeared:
            startMusic(host);
            return;
        case WatchResult::Gone:
            setTimerRunning(host, RendererWatchTimer, RendererWatchIntervalMs, host.watchTimerRunning, false);
            endRun(host);
            return;
        case WatchResult::NeverShown:
            abandonRun(host);
            return;
    }
}

// CD control keeps running only while the player asks for it.
void tickCd(RunHost& host) {
    host.music.cdTick(host.settings.repeatTrack);
    setTimerRunning(host, CdTickTimer, CdTickIntervalMs, host.cdTimerRunning, host.music.cdContinues);
}

// The host's window procedure: timers and close requests only.
LRESULT CALLBACK hostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* host = windowRecord<RunHost>(window, message, lParam);
    if (host == nullptr) return defaultWindowProcedure(window, message, wParam, lParam);
    switch (message) {
        case WM_TIMER:
            if (wParam == Mp3RestartTimer && host->mp3TimerRunning) host->music.mp3Tick(host->settings.musicFile);
            else if (wParam == CdTickTimer && host->cdTimerRunning) tickCd(*host);
            else if (wParam == RendererWatchTimer && host->watchTimerRunning) watchRenderer(*host);
            return 0;
        case WM_ENDSESSION:
            if (wParam) endRun(*host);
            return 0;
        case WM_CLOSE:
            endRun(*host);
        default:
            return defaultWindowProcedure(window, message, wParam, lParam);
    }
}
}  // namespace

// Registers and creates the hidden host, loads it and pumps messages until the close request ends
// the process, or until the renderer has failed.
void runHost(HINSTANCE instance, const ShellSettings& settings, wchar_t modeLetter) {
    RunHost host(settings);
    host.modeLetter = modeLetter;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = hostProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = RunHostClassName;
    registerWindowClass(windowClass);
    host.window = createWindow(0, RunHostClassName, RunHostTitle, WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                               instance, &host);
    if (!host.window) endRun(host);
    startRun(host);

    MSG message;
    while (getMessage(message) > 0) {
        TranslateMessage(&message);
        dispatchMessage(message);
    }
    if (!host.rendererFailed) endRun(host);
}
