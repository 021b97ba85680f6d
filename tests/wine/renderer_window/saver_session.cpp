#include "renderer_window/saver_session.h"

namespace savertest {

namespace {
constexpr DWORD PollMs = 5;
constexpr DWORD StartTimeoutMs = 20000;  // the OpenGL set-up on a software rasteriser may be slow
constexpr DWORD CursorArrivalMs = 1000;
constexpr DWORD ForegroundTimeoutMs = 5000;
constexpr int AbsoluteRange = 65536;  // SendInput's normalised coordinate range
const wchar_t* const X11DriverKey = L"Software\\Wine\\X11 Driver";
}  // namespace

const wchar_t* const SaverClass = L"WindowsScreenSaverClass";
const wchar_t* const RunningTitle = L"Glimra_VC";

std::wstring rendererPath() { return wintest::distDir() + L"\\Lumivane.dll"; }

POINT screenCentre() { return {GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2}; }

bool placeCursor(int x, int y) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    // Centre of the pixel in normalised units, so that the conversion back lands on (x, y).
    in.mi.dx = static_cast<LONG>((2LL * x + 1) * AbsoluteRange / (2LL * GetSystemMetrics(SM_CXSCREEN)));
    in.mi.dy = static_cast<LONG>((2LL * y + 1) * AbsoluteRange / (2LL * GetSystemMetrics(SM_CYSCREEN)));
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof(INPUT));
    DWORD start = GetTickCount();
    for (;;) {
        POINT p{};
        GetCursorPos(&p);
        if (p.x == x && p.y == y) return true;
        if (GetTickCount() - start >= CursorArrivalMs) return false;
        Sleep(PollMs);
    }
}

HWND findSaverWindow(DWORD pid) {
    struct Search {
        DWORD pid;
        HWND found;
    } search{pid, nullptr};
    EnumWindows(
        [](HWND w, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            wchar_t cls[64] = {};
            GetClassNameW(w, cls, 64);
            if (owner == s->pid && wcscmp(cls, SaverClass) == 0) {
                s->found = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool waitExitPumping(wintest::Process& process, DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        if (process.waitExit(0)) return true;
        if (GetTickCount() - start >= ms) return false;
        wintest::pump(PollMs);
    }
}

bool Saver::start(const std::wstring& args, const std::wstring& exe) {
    POINT centre = screenCentre();
    if (!placeCursor(centre.x, centre.y)) return false;
    if (!process_.start(exe, args)) return false;
    DWORD begin = GetTickCount();
    while (GetTickCount() - begin < StartTimeoutMs) {
        HWND w = findSaverWindow(process_.id());
        wchar_t title[64] = {};
        if (w && GetWindowTextW(w, title, 64) && wcscmp(title, RunningTitle) == 0 && IsWindowVisible(w)) {
            window_ = w;
            return true;
        }
        if (!process_.running()) return false;
        Sleep(PollMs);
    }
    return false;
}

bool Saver::waitForeground() {
    DWORD begin = GetTickCount();
    while (GetTickCount() - begin < ForegroundTimeoutMs) {
        if (GetForegroundWindow() == window_) return true;
        Sleep(PollMs);
    }
    return false;
}

bool Saver::endsCleanlyWithin(DWORD ms, DWORD* tookMs) {
    DWORD begin = GetTickCount();
    bool ended = waitExitPumping(process_, ms);
    if (tookMs) *tookMs = GetTickCount() - begin;
    return ended && process_.exitCode() == 0;
}

bool Saver::stillRunningAfter(DWORD ms) { return !waitExitPumping(process_, ms) && IsWindow(window_); }

void UnmanagedWindowsEnvironment::SetUp() {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, X11DriverKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    wchar_t value[16] = {};
    DWORD size = sizeof value;
    DWORD type = 0;
    hadValue_ = RegQueryValueExW(key, L"Managed", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
                    ERROR_SUCCESS && type == REG_SZ;
    if (hadValue_) previous_ = value;
    const wchar_t off[] = L"N";
    RegSetValueExW(key, L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(off), sizeof off);
    RegCloseKey(key);
}

void UnmanagedWindowsEnvironment::TearDown() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, X11DriverKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS) return;
    if (hadValue_) {
        RegSetValueExW(key, L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(previous_.c_str()),
                       static_cast<DWORD>((previous_.size() + 1) * sizeof(wchar_t)));
    } else {
        RegDeleteValueW(key, L"Managed");
    }
    RegCloseKey(key);
}

}  // namespace savertest
