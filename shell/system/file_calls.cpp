// The wide functions are looked up at run time, as are the folder functions that older systems lack.
#include "shell/system/file_calls.h"

#include <windows.h>
#include <shlobj.h>

#include "shell/system/system_text.h"

namespace {
constexpr char KernelDll[] = "kernel32.dll";
constexpr char ShellDll[] = "shell32.dll";
// The folder functions' own DLL, which Windows 98 and NT 4 have with Internet Explorer 5; loaded by
// its full path from the system folder only.
constexpr wchar_t FolderLibrary[] = L"\\shfolder.dll";
constexpr wchar_t BackupSuffix[] = L".bak";
constexpr wchar_t LongPathPrefix[] = L"\\\\?\\";        // \\?\ before a final path
constexpr wchar_t LongUncPrefix[] = L"\\\\?\\UNC\\";  // \\?\UNC\ before a final path on a share
constexpr DWORD ReadChunkBytes = 64 * 1024;

using GetModuleFileNameWFn = DWORD(WINAPI*)(HMODULE, LPWSTR, DWORD);
using CreateFileWFn = HANDLE(WINAPI*)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
using CreateProcessWFn = BOOL(WINAPI*)(LPCWSTR, LPWSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL, DWORD,
                                       LPVOID, LPCWSTR, STARTUPINFOW*, PROCESS_INFORMATION*);
using GetTempFileNameWFn = UINT(WINAPI*)(LPCWSTR, LPCWSTR, UINT, LPWSTR);
using CopyFileWFn = BOOL(WINAPI*)(LPCWSTR, LPCWSTR, BOOL);
using PathFn = BOOL(WINAPI*)(LPCWSTR);
using CreateDirectoryWFn = BOOL(WINAPI*)(LPCWSTR, LPSECURITY_ATTRIBUTES);
using MoveFileExWFn = BOOL(WINAPI*)(LPCWSTR, LPCWSTR, DWORD);
using GetShortPathNameWFn = DWORD(WINAPI*)(LPCWSTR, LPWSTR, DWORD);
using FolderWFn = UINT(WINAPI*)(LPWSTR, UINT);
using GetFolderPathWFn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
using GetFolderPathAFn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
using GetSpecialFolderPathAFn = BOOL(WINAPI*)(HWND, LPSTR, int, BOOL);
using GetFinalPathNameByHandleWFn = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);

// The wide kernel function on the NT family; null on the 9x family, which only stubs it.
template <typename Function>
Function wide(const char* name) {
    return ansiCalls() ? nullptr : systemFunction<Function>(KernelDll, name);
}

// CreateFile, wide on the NT family.
HANDLE openFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition) {
    if (auto call = wide<CreateFileWFn>("CreateFileW")) {
        return call(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    return CreateFileA(toAnsi(path).c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The folder part of a path, without the backslash.
std::wstring folderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// A folder that a system call wrote into a MAX_PATH buffer; empty when it did not fit.
std::wstring fittedFolder(const wchar_t* path, UINT length) {
    return length > 0 && length < MAX_PATH ? std::wstring(path, length) : std::wstring();
}

// The MoveFileEx of the 9x family fails, and MoveFile replaces nothing: the old file steps aside first.
bool replaceByRenames(const std::string& from, const std::string& to, const std::string& backup) {
    bool aside = MoveFileA(to.c_str(), backup.c_str()) != FALSE;
    if (!aside && GetFileAttributesA(to.c_str()) != INVALID_FILE_ATTRIBUTES) {
        // A backup of a save that was cut short is in the way; the file it stood in for is there again.
        DeleteFileA(backup.c_str());
        aside = MoveFileA(to.c_str(), backup.c_str()) != FALSE;
        if (!aside) return false;
    }
    if (!MoveFileA(from.c_str(), to.c_str())) {
        if (aside) MoveFileA(backup.c_str(), to.c_str());
        return false;
    }
    DeleteFileA(backup.c_str());
    return true;
}

// SHGetFolderPath of shfolder.dll in the system folder, wide or ANSI; empty where it is missing.
std::wstring sharedFolderPath(int folder) {
    const std::vector<std::wstring> system = systemFolders();
    if (system.empty()) return {};
    const std::wstring library = system.front() + FolderLibrary;
    const bool ansi = ansiCalls();
    HMODULE module = ansi ? LoadLibraryA(toAnsi(library).c_str()) : nullptr;
    if (!ansi) {
        if (auto load = systemFunction<HMODULE(WINAPI*)(LPCWSTR)>(KernelDll, "LoadLibraryW")) {
            module = load(library.c_str());
        }
    }
    if (module == nullptr) return {};
    std::wstring found;
    if (ansi) {
        char path[MAX_PATH] = "";
        auto call = reinterpret_cast<GetFolderPathAFn>(reinterpret_cast<void*>(GetProcAddress(module, "SHGetFolderPathA")));
        if (call && SUCCEEDED(call(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path))) found = fromAnsi(path);
    } else {
        wchar_t path[MAX_PATH] = L"";
        auto call = reinterpret_cast<GetFolderPathWFn>(reinterpret_cast<void*>(GetProcAddress(module, "SHGetFolderPathW")));
        if (call && SUCCEEDED(call(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path))) found = path;
    }
    FreeLibrary(module);
    return found;
}
}  // namespace

// The buffer grows until the whole path fits.
std::wstring ownFolderPath() {
    if (auto call = wide<GetModuleFileNameWFn>("GetModuleFileNameW")) {
        for (std::vector<wchar_t> path(MAX_PATH);; path.resize(path.size() * 2)) {
            const DWORD length = call(nullptr, path.data(), static_cast<DWORD>(path.size()));
            if (length == 0) return {};
            if (length < path.size()) return folderOf(std::wstring(path.data(), length));
        }
    }
    for (std::vector<char> path(MAX_PATH);; path.resize(path.size() * 2)) {
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) return folderOf(fromAnsi(std::string(path.data(), length)));
    }
}

bool fileOpens(const std::wstring& path) {
    HANDLE file = openFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

// Reads in chunks to the end, so that a file growing meanwhile is still read whole or refused.
bool readWholeFile(const std::wstring& path, std::string& bytes, size_t limit) {
    bytes.clear();
    HANDLE file = openFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::vector<char> chunk(ReadChunkBytes);
    DWORD got = 0;
    bool read = true;
    while ((read = ReadFile(file, chunk.data(), ReadChunkBytes, &got, nullptr) != FALSE) && got > 0) {
        if (bytes.size() + got > limit) {
            read = false;
            SetLastError(ERROR_FILE_TOO_LARGE);
            break;
        }
        bytes.append(chunk.data(), got);
    }
    const DWORD error = GetLastError();
    CloseHandle(file);
    SetLastError(error);
    return read;
}

bool writeWholeFile(const std::wstring& path, const std::string& bytes) {
    HANDLE file = openFile(path, GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0 && SetEndOfFile(file) != FALSE;
    ok = ok && (bytes.empty() || (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                                  written == bytes.size()));
    ok = FlushFileBuffers(file) != FALSE && ok;
    return CloseHandle(file) != FALSE && ok;
}

// The final path comes as \\?\C:\... or \\?\UNC\server\...; the file functions take it in its usual form.
std::wstring finalPathOf(const std::wstring& path) {
    auto call = wide<GetFinalPathNameByHandleWFn>("GetFinalPathNameByHandleW");
    if (!call) return path;
    HANDLE file = openFile(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE) return path;
    std::vector<wchar_t> found(MAX_PATH);
    DWORD length = call(file, found.data(), static_cast<DWORD>(found.size()), FILE_NAME_NORMALIZED);
    if (length >= found.size()) {
        found.resize(length + 1);
        length = call(file, found.data(), static_cast<DWORD>(found.size()), FILE_NAME_NORMALIZED);
    }
    CloseHandle(file);
    if (length == 0 || length >= found.size()) return path;
    const std::wstring final(found.data(), length);
    if (final.rfind(LongUncPrefix, 0) == 0) return L"\\" + final.substr(wcslen(LongUncPrefix));
    if (final.rfind(LongPathPrefix, 0) == 0) return final.substr(wcslen(LongPathPrefix));
    return final;
}

unsigned long nameCountOf(const std::wstring& path) {
    HANDLE file = openFile(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE) return 1;
    BY_HANDLE_FILE_INFORMATION facts{};
    const bool known = GetFileInformationByHandle(file, &facts) != FALSE;
    CloseHandle(file);
    return known && facts.nNumberOfLinks > 1 ? facts.nNumberOfLinks : 1;
}

HANDLE startProgram(const std::wstring& path, const std::wstring& arguments, HANDLE inherited) {
    const BOOL inherits = inherited != nullptr ? TRUE : FALSE;
    PROCESS_INFORMATION process{};
    bool started = false;
    if (auto call = wide<CreateProcessWFn>("CreateProcessW")) {
        std::wstring commandLine = L"\"" + path + L"\"" + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOWNORMAL;
        started = call(path.c_str(), &commandLine[0], nullptr, nullptr, inherits, 0, nullptr, nullptr, &startup,
                       &process) != FALSE;
    } else {
        const std::string program = toAnsi(path);
        std::string commandLine = "\"" + program + "\"" + toAnsi(arguments);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOWNORMAL;
        started = CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, inherits, 0, nullptr, nullptr,
                                 &startup, &process) != FALSE;
    }
    if (!started) return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

std::wstring newFileIn(const std::wstring& folder, const wchar_t* prefix) {
    if (folder.empty()) return {};
    if (auto call = wide<GetTempFileNameWFn>("GetTempFileNameW")) {
        wchar_t path[MAX_PATH] = L"";
        return call(folder.c_str(), prefix, 0, path) != 0 ? std::wstring(path) : std::wstring();
    }
    char path[MAX_PATH] = "";
    return GetTempFileNameA(toAnsi(folder).c_str(), toAnsi(prefix).c_str(), 0, path) != 0 ? fromAnsi(path)
                                                                                          : std::wstring();
}

bool copyFileOver(const std::wstring& from, const std::wstring& to) {
    if (auto call = wide<CopyFileWFn>("CopyFileW")) return call(from.c_str(), to.c_str(), FALSE) != FALSE;
    return CopyFileA(toAnsi(from).c_str(), toAnsi(to).c_str(), FALSE) != FALSE;
}

bool deleteFile(const std::wstring& path) {
    if (auto call = wide<PathFn>("DeleteFileW")) return call(path.c_str()) != FALSE;
    return DeleteFileA(toAnsi(path).c_str()) != FALSE;
}

bool createFolder(const std::wstring& path) {
    if (auto call = wide<CreateDirectoryWFn>("CreateDirectoryW")) return call(path.c_str(), nullptr) != FALSE;
    return CreateDirectoryA(toAnsi(path).c_str(), nullptr) != FALSE;
}

bool replaceFile(const std::wstring& from, const std::wstring& to) {
    if (auto call = wide<MoveFileExWFn>("MoveFileExW")) {
        return call(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    }
    return replaceByRenames(toAnsi(from), toAnsi(to), toAnsi(backupPathOf(to)));
}

std::wstring backupPathOf(const std::wstring& path) { return path + BackupSuffix; }

std::wstring shortPathOf(const std::wstring& path) {
    if (auto call = wide<GetShortPathNameWFn>("GetShortPathNameW")) {
        wchar_t shortPath[MAX_PATH] = L"";
        const DWORD n = call(path.c_str(), shortPath, MAX_PATH);
        return n > 0 && n < MAX_PATH ? std::wstring(shortPath, n) : std::wstring();
    }
    char shortPath[MAX_PATH] = "";
    const DWORD n = GetShortPathNameA(toAnsi(path).c_str(), shortPath, MAX_PATH);
    return n > 0 && n < MAX_PATH ? fromAnsi(std::string(shortPath, n)) : std::wstring();
}

// The Wow64 folder exists from XP on, on 64-bit Windows only.
std::vector<std::wstring> systemFolders() {
    std::vector<std::wstring> folders;
    if (auto system = wide<FolderWFn>("GetSystemDirectoryW")) {
        wchar_t path[MAX_PATH] = L"";
        folders.push_back(fittedFolder(path, system(path, MAX_PATH)));
        if (auto wow64 = wide<FolderWFn>("GetSystemWow64DirectoryW")) folders.push_back(fittedFolder(path, wow64(path, MAX_PATH)));
    } else {
        char path[MAX_PATH] = "";
        const UINT length = GetSystemDirectoryA(path, MAX_PATH);
        folders.push_back(length > 0 && length < MAX_PATH ? fromAnsi(std::string(path, length)) : std::wstring());
    }
    std::vector<std::wstring> found;
    for (const std::wstring& folder : folders) {
        if (!folder.empty()) found.push_back(folder);
    }
    return found;
}

// SHGetFolderPath is the shell's own from 2000 and ME on; before, shfolder.dll carries it where
// Internet Explorer 5 came, and Windows 98's shell has at least SHGetSpecialFolderPath.
std::wstring applicationDataFolder() {
    if (!ansiCalls()) {
        wchar_t path[MAX_PATH] = L"";
        auto call = systemFunction<GetFolderPathWFn>(ShellDll, "SHGetFolderPathW");
        if (call) return SUCCEEDED(call(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)) ? path : L"";
        return sharedFolderPath(CSIDL_APPDATA);
    }
    char path[MAX_PATH] = "";
    if (auto call = systemFunction<GetFolderPathAFn>(ShellDll, "SHGetFolderPathA")) {
        return SUCCEEDED(call(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)) ? fromAnsi(path) : L"";
    }
    const std::wstring shared = sharedFolderPath(CSIDL_APPDATA);
    if (!shared.empty()) return shared;
    auto special = systemFunction<GetSpecialFolderPathAFn>(ShellDll, "SHGetSpecialFolderPathA");
    return special && special(nullptr, path, CSIDL_APPDATA, FALSE) ? fromAnsi(path) : L"";
}
