// Folders and files by their full paths: through the wide functions on the NT family, where a name may
// hold any character, and through the ANSI ones on the 9x family (ansiCalls()). Paths stay Unicode here.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The folder of this program's own file, without a trailing backslash; empty when it cannot be had.
std::wstring ownFolderPath();

// True when the file can be opened for reading; folders, locked and missing files cannot.
bool fileOpens(const std::wstring& path);

// The whole file, up to `limit` bytes, into `bytes`; false when it cannot be opened or read, or is
// longer (GetLastError then tells which).
bool readWholeFile(const std::wstring& path, std::string& bytes, size_t limit);

// Writes `bytes` as the whole of a new or existing file and flushes it; false on any failure.
bool writeWholeFile(const std::wstring& path, const std::string& bytes);

// The file a path leads to after its links, where the system can tell (from Vista on); else the path.
std::wstring finalPathOf(const std::wstring& path);

// How many names the file has (hard links); 1 where it has one or the system cannot tell.
unsigned long nameCountOf(const std::wstring& path);

// Starts the program with its quoted path and `arguments` as the command line, shown normally,
// handing it `inherited` (with whatever else this process made inheritable: nothing, as it stands);
// its process handle, or null when it cannot be started (missing, empty, not a program).
HANDLE startProgram(const std::wstring& path, const std::wstring& arguments, HANDLE inherited);

// Makes a new empty file of a unique name (prefix, then a number) in the folder; empty when it cannot.
std::wstring newFileIn(const std::wstring& folder, const wchar_t* prefix);

// CopyFile over any old file, DeleteFile and CreateDirectory; each leaves GetLastError as the system set it.
bool copyFileOver(const std::wstring& from, const std::wstring& to);
bool deleteFile(const std::wstring& path);
bool createFolder(const std::wstring& path);

// Puts `from` in the place of `to`, whether or not `to` exists. The NT family moves it in one step. The
// 9x family has no such step: the old file becomes the backup (backupPathOf) until the new one is in
// place, and is put back if the new one cannot go there. False on failure, `to` then as it was.
bool replaceFile(const std::wstring& from, const std::wstring& to);

// Where replaceFile keeps the old file meanwhile; it is left only where a save was cut short.
std::wstring backupPathOf(const std::wstring& path);

// The short (8.3) form of an existing path; empty where the system gives none.
std::wstring shortPathOf(const std::wstring& path);

// Windows' system folders: System32 (System on the 9x family) and, on 64-bit Windows, SysWOW64.
std::vector<std::wstring> systemFolders();

// The user's application-data folder (%APPDATA%); empty where the system names none.
std::wstring applicationDataFolder();
