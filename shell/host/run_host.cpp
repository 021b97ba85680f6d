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
    RendererWatch watch{0};
    SystemMciPort mci;
    SystemSoundPort sound;
    MusicPlayer music{mci, sound};
};

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

// The renderer failed before its window appeared: no music was started; the pointer comes back
// and the loop ends, so that the caller can tell the user.
void abandonRun(RunHost& host) {
    setTimerRunning(host, RendererWatchTimer, RendererWatchIntervalMs, host.watchTimerRunning, false);
    if (planClose(false, false, host.settings, host.modeLetter).showPointer) setPointerShown(true);
    host.rendererFailed = true;
    DestroyWindow(host.window);
    PostQuitMessage(0);
}

// Load: the renderer is started and watched; the music waits for its window.
void startRun(RunHost& host) {
    host.watch = RendererWatch(GetTickCount());
    setTimerRunning(host, RendererWatchTimer, RendererWatchIntervalMs, host.watchTimerRunning, true);
    if (!startProgram(ownFolderPath() + L"\\" + RendererFileName, rendererArguments(host.settings))) abandonRun(host);
}

// Close request: music off, pointer back for /s, then the process ends; never refused.
[[noreturn]] void endRun(RunHost& host) {
    const ClosePlan plan = planClose(host.musicStarted, host.cdTimerRunning, host.settings, host.modeLetter);
    if (plan.stopCdAndTimer) {
        setTimerRunning(host, CdTickTimer, CdTickIntervalMs, host.cdTimerRunning, false);
        host.music.stopCd();
    }
    if (plan.wavStop) host.music.stopWav();
    if (plan.mp3Stop) host.music.stopMp3(host.settings.musicFile);
    if (plan.showPointer) setPointerShown(true);
    ExitProcess(0);
}

// Renderer watch: the first sighting starts the music; a window gone ends the run, a window
// never seen within the grace period fails it.
void watchRenderer(RunHost& host) {
    switch (host.watch.tick(findTopWindow(SaverRunningTitleW) != nullptr, GetTickCount())) {
        case WatchResult::Waiting:
        case WatchResult::Running:
            return;
        case WatchResult::Appeared:
            startMusic(host);
            return;
        case WatchResult::Gone:
            setTimerRunning(host, RendererWatchTimer, RendererWatchIntervalMs, host.watchTimerRunning, false);
            endRun(host);
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
