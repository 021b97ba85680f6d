// Run host window: translates load, timer ticks and close requests into the host's decisions.
#include "shell/host/run_host.h"

#include <string>
#include <vector>

#include "shell/host/run_host_rules.h"
#include "shell/music/glimra_bgm.h"
#include "shell/startup/pointer.h"
#include "shell/startup/settings_file.h"

namespace {
constexpr wchar_t HostClassName[] = L"Glimra_S";
constexpr wchar_t HostTitle[] = L"Glimra_Main";
constexpr wchar_t RendererTitle[] = L"Glimra_VC";
constexpr wchar_t RendererFileName[] = L"\\Lumivane.dll";
constexpr UINT_PTR Timer1 = 1;
constexpr UINT_PTR Timer2 = 2;
constexpr UINT_PTR Timer3 = 3;

// Everything the host keeps between events.
struct RunHost {
    HWND window = nullptr;
    wchar_t modeLetter = 0;
    std::wstring RendererPath;
    bool timer1Running = false;
    bool timer2Running = false;
    bool timer3Running = false;
    RendererWatch watch{0};
};

RunHost g_host;

// The folder of this program, as a Unicode path without the trailing backslash.
std::wstring programFolderW() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return std::wstring();
        if (length < path.size()) {
            std::wstring full(path.data(), length);
            const size_t slash = full.find_last_of(L'\\');
            return slash == std::wstring::npos ? std::wstring() : full.substr(0, slash);
        }
        path.resize(path.size() * 2);
    }
}

// Starts the renderer with its path alone as the command line, shown normally; keeps no handle.
void startRenderer(const std::wstring& path) {
    std::wstring commandLine = L"\"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

// Starts or stops one of the host's timers and keeps its running state.
void setTimerRunning(UINT_PTR id, unsigned intervalMs, bool& running, bool run) {
    if (run && !running) running = SetTimer(g_host.window, id, intervalMs, nullptr) != 0;
    if (!run && running) {
        KillTimer(g_host.window, id);
        running = false;
    }
}

// Load: renderer first, then the music the settings choose.
void formLoad() {
    g_host.RendererPath = programFolderW() + RendererFileName;
    g_host.watch = RendererWatch(GetTickCount());
    setTimerRunning(Timer3, Timer3IntervalMs, g_host.timer3Running, true);
    startRenderer(g_host.RendererPath);

    const LoadPlan plan = planLoad(g_settings);
    if (plan.cdOpen) BGM_CdOpen();
    if (plan.wavPlay) BGM_WavPlay();
    if (plan.mp3Play) BGM_Mp3Play();
    if (plan.startTimer1) setTimerRunning(Timer1, Timer1IntervalMs, g_host.timer1Running, true);
    if (plan.startTimer2) setTimerRunning(Timer2, Timer2IntervalMs, g_host.timer2Running, true);
}

// Close request: music off, pointer back for /s, then the process ends; never refused.
[[noreturn]] void formQueryUnload() {
    const ClosePlan plan = planClose(g_host.timer2Running, g_settings, g_host.modeLetter);
    if (plan.stopTimer2AndCd) {
        setTimerRunning(Timer2, Timer2IntervalMs, g_host.timer2Running, false);
        BGM_CdStop();
    }
    if (plan.wavStop) BGM_WavStop();
    if (plan.mp3Stop) BGM_Mp3Stop();
    if (plan.showPointer) setPointerShown(true);
    ExitProcess(0);
}

// Renderer watch: a window seen and gone, or never seen within the grace period, ends the run.
void timer3Timer() {
    const bool found = FindWindowW(nullptr, RendererTitle) != nullptr;
    if (g_host.watch.keepRunning(found, GetTickCount())) return;
    setTimerRunning(Timer3, Timer3IntervalMs, g_host.timer3Running, false);
    formQueryUnload();
}

// CD control keeps running only while the player asks for it.
void timer2Timer() {
    BGM_CdTick();
    setTimerRunning(Timer2, Timer2IntervalMs, g_host.timer2Running, BGM_CdContinue);
}

// The host's window procedure: timers and close requests only.
LRESULT CALLBACK hostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam == Timer1 && g_host.timer1Running) BGM_Mp3Tick();
            else if (wParam == Timer2 && g_host.timer2Running) timer2Timer();
            else if (wParam == Timer3 && g_host.timer3Running) timer3Timer();
            return 0;
        case WM_ENDSESSION:
            if (wParam) formQueryUnload();
            return 0;
        case WM_CLOSE:
            formQueryUnload();
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}
}  // namespace

// Registers and creates the hidden host, loads it and pumps messages until the close request ends the process.
int runHost(HINSTANCE instance, wchar_t modeLetter) {
    g_host.modeLetter = modeLetter;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = hostProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = HostClassName;
    RegisterClassW(&windowClass);
    g_host.window = CreateWindowExW(0, HostClassName, HostTitle, WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                                    instance, nullptr);
    if (!g_host.window) formQueryUnload();
    formLoad();

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    formQueryUnload();
}
