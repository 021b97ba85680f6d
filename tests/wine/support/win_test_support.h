// Helpers shared by the tests that run the real programs under Wine.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace wintest {

// Polls a condition every 10 ms for up to `ms`; true as soon as it holds.
template <typename Condition>
bool within(DWORD ms, Condition condition) {
    for (DWORD start = GetTickCount();; Sleep(10)) {
        if (condition()) return true;
        if (GetTickCount() - start >= ms) return false;
    }
}

// Windows path (Z:\...) of a Unix path, as Wine maps the root file system.
inline std::wstring fromUnixPath(const std::string& unixPath) {
    std::wstring out = L"Z:";
    for (char c : unixPath) out += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    return out;
}
// The folder of the freshly built Lumivane.dll and Lumivane.scr, and the source tree.
inline std::wstring distDir() { return fromUnixPath(LUMIVANE_DIST_DIR_UNIX); }
inline std::wstring sourceDir() { return fromUnixPath(LUMIVANE_SOURCE_DIR_UNIX); }

// Reads a whole file; empty when it cannot be read.
inline std::string readFileBytes(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
// Writes a whole file over any old one; false when not every byte arrived.
inline bool writeFileBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    return static_cast<bool>(out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush());
}

// A fresh, empty folder under the temp folder (or under `base`); removed with its files on destruction.
class TempDir {
public:
    explicit TempDir(const wchar_t* tag, const std::wstring& base = L"") {
        const auto parent = base.empty() ? std::filesystem::temp_directory_path() : std::filesystem::path(base);
        const std::wstring stem = (parent / L"lumivane-").wstring() + tag + L"-";
        for (unsigned n = GetTickCount(); !CreateDirectoryW((path_ = stem + std::to_wstring(n)).c_str(), nullptr);) ++n;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::wstring& path() const { return path_; }
    std::wstring file(const wchar_t* name) const { return path_ + L"\\" + name; }
    // Copies a file of the dist folder (or any path with a backslash) into this folder under `as`.
    bool copyIn(const std::wstring& from, const wchar_t* as) const {
        SetFileAttributesW(file(as).c_str(), FILE_ATTRIBUTE_NORMAL);
        const std::wstring source = from.find(L'\\') == std::wstring::npos ? distDir() + L"\\" + from : from;
        return CopyFileW(source.c_str(), file(as).c_str(), FALSE) != 0;
    }

private:
    std::wstring path_;
};

// A started program; the destructor kills it if it still runs.
class Process {
public:
    Process() = default;
    ~Process() { release(); }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    // Starts `exe args` in the exe's folder; a file copied a moment ago can be refused briefly, so it tries again.
    bool start(const std::wstring& exe, const std::wstring& args = L"", DWORD creationFlags = 0) {
        release();
        std::wstring commandLine = L"\"" + exe + L"\" " + args;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        return within(1000, [&] {
            return CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, creationFlags, nullptr,
                                  exe.substr(0, exe.find_last_of(L'\\')).c_str(), &startup, &info_) != 0;
        });
    }
    // Waits up to `ms` for the end; true when it ended.
    bool waitExit(DWORD ms) { return info_.hProcess && WaitForSingleObject(info_.hProcess, ms) == WAIT_OBJECT_0; }
    // The exit code once it ended, STILL_ACTIVE before.
    DWORD exitCode() const {
        DWORD code = STILL_ACTIVE;
        return GetExitCodeProcess(info_.hProcess, &code) ? code : STILL_ACTIVE;
    }
    bool running() const { return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
    // Ends the program and waits for its end.
    void kill() { if (running() && TerminateProcess(info_.hProcess, 99)) WaitForSingleObject(info_.hProcess, 5000); }
    // Takes over the process that shows `window` (one this test did not start as its child).
    bool attach(HWND window) {
        release();
        GetWindowThreadProcessId(window, &info_.dwProcessId);
        info_.hProcess = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                     info_.dwProcessId);
        return info_.hProcess != nullptr;
    }
    // Ends whatever process owns a top-level window with this title (a program a test left behind).
    static void killByWindowTitle(const wchar_t* title) {
        for (HWND w; (w = FindWindowW(nullptr, title)) != nullptr;) {
            Process owner;
            if (!owner.attach(w)) return;
        }
    }
    DWORD id() const { return info_.dwProcessId; }
    HANDLE handle() const { return info_.hProcess; }

private:
    // Kills the program if it still runs and lets go of it.
    void release() {
        kill();
        if (info_.hProcess) CloseHandle(info_.hProcess);
        if (info_.hThread) CloseHandle(info_.hThread);
        info_ = {};
    }
    PROCESS_INFORMATION info_{};
};

// Polls for a top-level window with this class and title (either may be null) for up to `ms`.
inline HWND waitForWindow(const wchar_t* className, const wchar_t* title, DWORD ms) {
    HWND found = nullptr;
    within(ms, [&] { return (found = FindWindowW(className, title)) != nullptr; });
    return found;
}
// Polls until no such window exists, for up to `ms`; true when it is gone.
inline bool waitForNoWindow(const wchar_t* className, const wchar_t* title, DWORD ms) {
    return within(ms, [&] { return FindWindowW(className, title) == nullptr; });
}

// Real input through SendInput: a key pressed and released.
inline void pressKey(WORD virtualKey) {
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = virtualKey;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
}
// Real input: a mouse button pressed and released where the pointer is.
inline void mouseButton(DWORD downFlag, DWORD upFlag) {
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = downFlag;
    in[1].mi.dwFlags = upFlag;
    SendInput(2, in, sizeof(INPUT));
}
// A window's place on the screen.
inline RECT screenRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}
// The screen's pixels in `r`, top row first.
inline std::vector<RGBQUAD> screenPixels(const RECT& r) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    std::vector<RGBQUAD> pixels(static_cast<size_t>(w) * h);
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    HBITMAP picture = CreateCompatibleBitmap(screen, w, h);
    DeleteObject(SelectObject(memory, picture));
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    DeleteDC(memory);
    GetDIBits(screen, picture, 0, h, pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(picture);
    ReleaseDC(nullptr, screen);
    return pixels;
}
// The pixels of a place on the screen that are lit (any component above a dark grey).
inline int litPixels(const RECT& r) {
    const std::vector<RGBQUAD> pixels = screenPixels(r);
    return static_cast<int>(std::count_if(pixels.begin(), pixels.end(), [](const RGBQUAD& p) {
        return std::max({p.rgbRed, p.rgbGreen, p.rgbBlue}) > 40;
    }));
}
// Moves the pointer to the middle of a window and presses and releases a mouse button there.
inline void clickCentre(HWND window, DWORD down = MOUSEEVENTF_LEFTDOWN, DWORD up = MOUSEEVENTF_LEFTUP) {
    const RECT r = screenRect(window);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    Sleep(150);
    mouseButton(down, up);
    Sleep(150);
}
// Real input: each character typed as a key of its own.
inline void typeText(const std::wstring& text) {
    for (wchar_t c : text) {
        INPUT in[2] = {{INPUT_KEYBOARD, {.ki = {0, c, KEYEVENTF_UNICODE, 0, 0}}},
                       {INPUT_KEYBOARD, {.ki = {0, c, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP, 0, 0}}}};
        SendInput(2, in, sizeof(INPUT));
        Sleep(40);
    }
}
// Another process's window text.
inline std::wstring textOf(HWND window) {
    wchar_t text[300] = {};
    SendMessageW(window, WM_GETTEXT, 300, reinterpret_cast<LPARAM>(text));
    return text;
}
// The text of a message box, which is then closed with OK.
inline std::wstring messageText(HWND box) {
    std::wstring message;
    for (HWND part = nullptr; (part = FindWindowExW(box, part, L"Static", nullptr));) message += textOf(part);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return message;
}
// Pumps this thread's messages for `ms` milliseconds.
inline void pump(DWORD ms) {
    within(ms, [] {
        for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        return false;
    });
}

}  // namespace wintest
