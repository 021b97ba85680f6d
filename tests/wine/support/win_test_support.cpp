#include "support/win_test_support.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace wintest {

namespace {
constexpr DWORD PollIntervalMs = 10;
constexpr int StartAttempts = 3;
constexpr DWORD StartRetryMs = 300;
}

std::wstring fromUnixPath(const char* unixPath) {
    std::wstring out = L"Z:";
    for (const char* p = unixPath; *p; ++p) out += (*p == '/') ? L'\\' : static_cast<wchar_t>(*p);
    return out;
}

std::wstring distDir() { return fromUnixPath(LUMIVANE_DIST_DIR_UNIX); }
std::wstring binaryDir() { return fromUnixPath(LUMIVANE_BINARY_DIR_UNIX); }
std::wstring sourceDir() { return fromUnixPath(LUMIVANE_SOURCE_DIR_UNIX); }

TempDir::TempDir(const wchar_t* tag, const std::wstring& base) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring parent = base.empty() ? std::wstring(temp) : base + L"\\";
    for (unsigned n = GetTickCount();; ++n) {
        path_ = parent + L"lumivane-" + tag + L"-" + std::to_wstring(n);
        if (CreateDirectoryW(path_.c_str(), nullptr)) break;
    }
}

TempDir::~TempDir() {
    // SHFileOperation wants a double-NUL-terminated list.
    std::wstring from = path_;
    from.push_back(L'\0');
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationW(&op);
}

bool TempDir::copyIn(const std::wstring& from, const wchar_t* as) const {
    std::wstring source = from.find(L'\\') == std::wstring::npos ? distDir() + L"\\" + from : from;
    SetFileAttributesW(file(as).c_str(), FILE_ATTRIBUTE_NORMAL);
    return CopyFileW(source.c_str(), file(as).c_str(), FALSE) != 0;
}

Process::~Process() {
    kill();
    if (info_.hProcess) CloseHandle(info_.hProcess);
    if (info_.hThread) CloseHandle(info_.hThread);
}

bool Process::start(const std::wstring& exe, const std::wstring& args) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!args.empty()) commandLine += L" " + args;
    std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    // A file copied a moment ago can still be refused briefly (seen once under load): try again.
    for (int attempt = 0; attempt < StartAttempts; ++attempt) {
        if (CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                           folder.c_str(), &startup, &info_))
            return true;
        std::fprintf(stderr, "CreateProcess failed with error %lu\n", GetLastError());
        Sleep(StartRetryMs);
    }
    return false;
}

bool Process::waitExit(DWORD ms) {
    return info_.hProcess && WaitForSingleObject(info_.hProcess, ms) == WAIT_OBJECT_0;
}

DWORD Process::exitCode() const {
    DWORD code = STILL_ACTIVE;
    if (info_.hProcess) GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

bool Process::running() const {
    return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

void Process::kill() {
    if (running()) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 5000);
    }
}

bool Process::attach(HWND window) {
    kill();
    if (info_.hProcess) CloseHandle(info_.hProcess);
    info_ = {};
    GetWindowThreadProcessId(window, &info_.dwProcessId);
    info_.hProcess = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                 info_.dwProcessId);
    return info_.hProcess != nullptr;
}

void Process::killByWindowTitle(const wchar_t* title) {
    while (HWND w = FindWindowW(nullptr, title)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
        if (!h) return;
        TerminateProcess(h, 99);
        WaitForSingleObject(h, 5000);
        CloseHandle(h);
    }
}

// Wine starts a file that is no Windows program as a Unix process, with the command line split into
// its arguments and the Unix environment made from this process's; it hands back no handle.
bool startUnderLocale(const std::wstring& exe, const std::wstring& args, const char* locale) {
    const std::wstring runner = sourceDir() + L"\\scripts\\wine-run";
    std::wstring commandLine = L"\"" + runner + L"\" --locale " + std::wstring(locale, locale + strlen(locale)) +
                               L" \"" + exe + L"\" " + args;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(runner.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info))
        return false;
    if (info.hProcess) CloseHandle(info.hProcess);
    if (info.hThread) CloseHandle(info.hThread);
    return true;
}

// Wine hands debug strings over in the ANSI code page whatever the program wrote; both forms are read.
DebuggedRun runDebugged(const std::wstring& exe, const std::wstring& args, DWORD ms) {
    DebuggedRun run;
    std::wstring commandLine = L"\"" + exe + L"\" " + args;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS, nullptr,
                        nullptr, &startup, &info))
        return run;
    const DWORD start = GetTickCount();
    DEBUG_EVENT event{};
    while (!run.ended && GetTickCount() - start < ms && WaitForDebugEvent(&event, ms)) {
        DWORD status = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
        case CREATE_PROCESS_DEBUG_EVENT:
            if (event.u.CreateProcessInfo.hFile) CloseHandle(event.u.CreateProcessInfo.hFile);
            break;
        case LOAD_DLL_DEBUG_EVENT:
            if (event.u.LoadDll.hFile) CloseHandle(event.u.LoadDll.hFile);
            break;
        case EXCEPTION_DEBUG_EVENT:
            if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
                status = DBG_EXCEPTION_NOT_HANDLED;
            break;
        case OUTPUT_DEBUG_STRING_EVENT: {
            const OUTPUT_DEBUG_STRING_INFO& text = event.u.DebugString;
            const size_t unit = text.fUnicode ? sizeof(wchar_t) : 1;
            std::string bytes(text.nDebugStringLength * unit, '\0');
            SIZE_T got = 0;
            ReadProcessMemory(info.hProcess, text.lpDebugStringData, &bytes[0], bytes.size(), &got);
            if (text.fUnicode) {
                for (size_t k = 0; k + 1 < got; k += 2) run.debugOutput += bytes[k];
            } else {
                run.debugOutput.append(bytes.data(), got);
            }
            while (!run.debugOutput.empty() && run.debugOutput.back() == '\0') run.debugOutput.pop_back();
            break;
        }
        case EXIT_PROCESS_DEBUG_EVENT:
            run.ended = true;
            run.exitCode = event.u.ExitProcess.dwExitCode;
            break;
        default:
            break;
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
    }
    if (!run.ended) TerminateProcess(info.hProcess, 99);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return run;
}

HWND waitForWindow(const wchar_t* className, const wchar_t* title, DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        if (HWND w = FindWindowW(className, title)) return w;
        if (GetTickCount() - start >= ms) return nullptr;
        Sleep(PollIntervalMs);
    }
}

bool waitForNoWindow(const wchar_t* className, const wchar_t* title, DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        if (!FindWindowW(className, title)) return true;
        if (GetTickCount() - start >= ms) return false;
        Sleep(PollIntervalMs);
    }
}

void pressKey(WORD virtualKey) {
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = virtualKey;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
}

void moveMouseTo(int x, int y) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof(INPUT));
}

void mouseButton(DWORD downFlag, DWORD upFlag) {
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = downFlag;
    in[1].mi.dwFlags = upFlag;
    SendInput(2, in, sizeof(INPUT));
}

RECT screenRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

void clickCentre(HWND window, DWORD down, DWORD up) {
    RECT r = screenRect(window);
    moveMouseTo((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    Sleep(150);
    mouseButton(down, up);
    Sleep(150);
}

LRESULT ask(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wp, lp, SMTO_ABORTIFHUNG, 2000, &result);
    return static_cast<LRESULT>(result);
}

std::wstring textOf(HWND window) {
    wchar_t text[300] = {};
    ask(window, WM_GETTEXT, 300, reinterpret_cast<LPARAM>(text));
    return text;
}

void pump(DWORD ms) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(PollIntervalMs);
    }
}

std::vector<std::wstring> folderEntries(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

std::string readFileBytes(const std::wstring& path) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(f, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    CloseHandle(f);
    return bytes;
}

bool writeFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD wrote = 0;
    bool ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr) &&
              wrote == bytes.size();
    CloseHandle(f);
    return ok;
}

std::string iniText(const std::string& kind, const std::string& repeat, const std::string& file) {
    return "[Section]\r\n" + KeySource + "=" + kind + "\r\n" + KeyRepeat + "=" + repeat + "\r\n" + KeyFile +
           "=" + file + "\r\n";
}

std::string stored(const std::string& ini, const std::string& key) {
    size_t at = ini.find("\n" + key + "=");
    if (at == std::string::npos) return "<missing>";
    size_t start = at + key.size() + 2;
    std::string value = ini.substr(start, ini.find_first_of("\r\n", start) - start);
    return value.size() > 1 && value[0] == ' ' ? value.substr(1) : value;
}

}  // namespace wintest
