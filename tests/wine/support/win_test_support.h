// Helpers shared by the tests that run the real programs under Wine.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace wintest {

// Windows path (Z:\...) of a Unix path, as Wine maps the root file system.
std::wstring fromUnixPath(const char* unixPath);
// Folder holding the freshly built Lumivane.dll and Lumivane.scr.
std::wstring distDir();
// Folder of the test binaries (the build tree), as a Windows path.
std::wstring binaryDir();
// Source tree, as a Windows path.
std::wstring sourceDir();

// A fresh, empty folder under the prefix's temp folder (or under `base`); removed with its files on destruction.
class TempDir {
public:
    explicit TempDir(const wchar_t* tag, const std::wstring& base = L"");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::wstring& path() const { return path_; }
    std::wstring file(const wchar_t* name) const { return path_ + L"\\" + name; }
    // Copies a file of the dist folder (or any absolute path) into this folder under `as`.
    bool copyIn(const std::wstring& from, const wchar_t* as) const;
private:
    std::wstring path_;
};

// A started program; the destructor kills it if it still runs.
class Process {
public:
    Process() = default;
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    // Starts `exe` with `args` (the command line is "exe" args), in the exe's folder.
    bool start(const std::wstring& exe, const std::wstring& args = L"");
    // Waits up to `ms` for the end; true when it ended. exitCode() is then valid.
    bool waitExit(DWORD ms);
    DWORD exitCode() const;
    bool running() const;
    void kill();
    // Takes over the process that shows `window`, such as a program started by startUnderLocale.
    bool attach(HWND window);
    // Ends whatever process owns a top-level window with this title (a renderer a test left behind).
    static void killByWindowTitle(const wchar_t* title);
    DWORD id() const { return info_.dwProcessId; }
    HANDLE handle() const { return info_.hProcess; }
private:
    PROCESS_INFORMATION info_{};
};

// Starts `exe args` through scripts/wine-run under a glibc locale such as "en_US.UTF-8". Wine takes a
// program's interface language and ANSI code page from its Unix locale, which a Windows parent cannot
// change for its children. The program is no child of this one: find it by its window and attach().
bool startUnderLocale(const std::wstring& exe, const std::wstring& args, const char* locale);

// What a program run to its end under this test as its debugger said and returned.
struct DebuggedRun {
    bool ended = false;       // it ended within the time given
    DWORD exitCode = 0;
    std::string debugOutput;  // everything it passed to OutputDebugString, in the ANSI code page
};
// Runs `exe args` as a debuggee for up to `ms`, collecting its debug output; kills it if it outlives that.
DebuggedRun runDebugged(const std::wstring& exe, const std::wstring& args, DWORD ms);

// Polls for a top-level window with this class (may be null) and title (may be null) for up to `ms`.
HWND waitForWindow(const wchar_t* className, const wchar_t* title, DWORD ms);
// Polls until no such window exists, for up to `ms`; true when it is gone.
bool waitForNoWindow(const wchar_t* className, const wchar_t* title, DWORD ms);

// Real input through SendInput.
void pressKey(WORD virtualKey);
void moveMouseTo(int x, int y);
void mouseButton(DWORD downFlag, DWORD upFlag);

// A window's place on the screen.
RECT screenRect(HWND window);
// Moves the pointer to the middle of a window and presses and releases a mouse button there.
void clickCentre(HWND window, DWORD down = MOUSEEVENTF_LEFTDOWN, DWORD up = MOUSEEVENTF_LEFTUP);

// Another process's message, with a bounded wait: never hang on a busy program.
LRESULT ask(HWND window, UINT message, WPARAM wp = 0, LPARAM lp = 0);
// Another process's window text.
std::wstring textOf(HWND window);

// Polls a condition for up to `ms`; true as soon as it holds.
template <typename Condition>
bool within(DWORD ms, Condition condition) {
    for (DWORD start = GetTickCount();; Sleep(10)) {
        if (condition()) return true;
        if (GetTickCount() - start >= ms) return false;
    }
}

// Pumps this thread's messages for `ms` milliseconds.
void pump(DWORD ms);

// Names of the files and folders in a folder, sorted, without "." and "..".
std::vector<std::wstring> folderEntries(const std::wstring& folder);

// Reads a whole file; empty when it cannot be read.
std::string readFileBytes(const std::wstring& path);
bool writeFileBytes(const std::wstring& path, const std::string& bytes);

// The settings file's key names as the file holds them (Shift-JIS bytes), whatever the language.
inline const std::string KeySource = "BGM\x8B\xE6\x95\xAA";
inline const std::string KeyRepeat = "BGM\xD8\xCB\xDF\xB0\xC4";
inline const std::string KeyFile = "BGM\xCC\xA7\xB2\xD9";
// A settings file with the three keys.
std::string iniText(const std::string& kind, const std::string& repeat, const std::string& file);
// One key's value in a settings file's bytes, "<missing>" when absent. One leading blank is dropped:
// the program writes " 2", and Wine's profile writer drops it where Windows keeps it.
std::string stored(const std::string& ini, const std::string& key);

}  // namespace wintest
