#include "renderer/frame/saver_session.h"

#include "common/names.h"

namespace savertest {

namespace {
constexpr DWORD PollMs = 1;              // fine enough to catch the window before it is shown
constexpr DWORD StartTimeoutMs = 20000;  // the OpenGL set-up on a software rasteriser may be slow
constexpr DWORD CursorArrivalMs = 1000;
constexpr DWORD ForegroundTimeoutMs = 5000;
constexpr DWORD SettleMs = 300;          // the window's own start-up messages pass before input
constexpr int AbsoluteRange = 65536;     // SendInput's normalised coordinate range
}  // namespace

const wchar_t* const SaverClass = L"WindowsScreenSaverClass";
const wchar_t* const RunningTitle = SaverRunningTitleW;

std::wstring rendererPath() { return wintest::distDir() + L"\\" + RendererFileName; }

POINT screenCentre() { return {GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2}; }

bool placeCursor(int x, int y) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    // Centre of the pixel in normalised units of the whole desktop, so that the conversion back lands on (x, y).
    const LONG vx = GetSystemMetrics(SM_XVIRTUALSCREEN), vy = GetSystemMetrics(SM_YVIRTUALSCREEN);
    in.mi.dx = static_cast<LONG>((2LL * (x - vx) + 1) * AbsoluteRange / (2LL * GetSystemMetrics(SM_CXVIRTUALSCREEN)));
    in.mi.dy = static_cast<LONG>((2LL * (y - vy) + 1) * AbsoluteRange / (2LL * GetSystemMetrics(SM_CYVIRTUALSCREEN)));
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    SendInput(1, &in, sizeof(INPUT));
    for (DWORD start = GetTickCount(); GetTickCount() - start < CursorArrivalMs; Sleep(PollMs)) {
        POINT p{};
        GetCursorPos(&p);
        if (p.x == x && p.y == y) return true;
    }
    return false;
}

std::vector<HWND> saverWindows(DWORD pid) {
    std::vector<HWND> found;
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, SaverClass, nullptr)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid) found.push_back(w);
    }
    return found;
}

bool waitExitPumping(wintest::Process& process, DWORD ms) {
    for (DWORD start = GetTickCount(); !process.waitExit(0); wintest::pump(PollMs)) {
        if (GetTickCount() - start >= ms) return false;
    }
    return true;
}

bool Saver::start(const std::wstring& args, const std::wstring& exe, bool untilShown, POINT pointer) {
    if (!placeCursor(pointer.x, pointer.y) || !process_.start(exe, args)) return false;
    for (DWORD begin = GetTickCount(); GetTickCount() - begin < StartTimeoutMs; Sleep(PollMs)) {
        std::vector<HWND> found = saverWindows(process_.id());
        HWND w = found.empty() ? nullptr : found.front();
        wchar_t title[64] = {};
        if (w && GetWindowTextW(w, title, 64) && wcscmp(title, RunningTitle) == 0 &&
            (!untilShown || IsWindowVisible(w))) {
            window_ = w;
            return true;
        }
        if (!process_.running()) return false;
    }
    return false;
}

bool Saver::waitReady() {
    for (DWORD begin = GetTickCount(); GetForegroundWindow() != window_; Sleep(PollMs)) {
        if (GetTickCount() - begin >= ForegroundTimeoutMs) return false;
    }
    wintest::pump(SettleMs);
    return process_.running();
}

bool Saver::endsCleanlyWithin(DWORD ms) { return waitExitPumping(process_, ms) && process_.exitCode() == 0; }

bool Saver::stillRunningAfter(DWORD ms) { return !waitExitPumping(process_, ms) && IsWindow(window_); }

}  // namespace savertest
