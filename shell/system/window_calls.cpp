// Each call takes the wide function on the NT family, looked up in the loaded system DLL, and the ANSI
// function on the 9x family, or where the wide one cannot be found.
#include "shell/system/window_calls.h"

#include <commdlg.h>

#include <vector>

#include "shell/system/system_text.h"

namespace {
constexpr char UserLibrary[] = "user32.dll";
constexpr char GdiLibrary[] = "gdi32.dll";
constexpr char DialogLibrary[] = "comdlg32.dll";

using RegisterClassExWFn = ATOM(WINAPI*)(const WNDCLASSEXW*);
using GetClassInfoExWFn = BOOL(WINAPI*)(HINSTANCE, LPCWSTR, WNDCLASSEXW*);
using CreateWindowExWFn = HWND(WINAPI*)(DWORD, LPCWSTR, LPCWSTR, DWORD, int, int, int, int, HWND, HMENU, HINSTANCE,
                                        LPVOID);
using DefWindowProcWFn = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM);
using FindWindowWFn = HWND(WINAPI*)(LPCWSTR, LPCWSTR);
using GetMessageWFn = BOOL(WINAPI*)(MSG*, HWND, UINT, UINT);
using PeekMessageWFn = BOOL(WINAPI*)(MSG*, HWND, UINT, UINT, UINT);
using DispatchMessageWFn = LRESULT(WINAPI*)(const MSG*);
using IsDialogMessageWFn = BOOL(WINAPI*)(HWND, MSG*);
using GetWindowTextLengthWFn = int(WINAPI*)(HWND);
using GetWindowTextWFn = int(WINAPI*)(HWND, LPWSTR, int);
using SetWindowTextWFn = BOOL(WINAPI*)(HWND, LPCWSTR);
using SendMessageWFn = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM);
using DrawTextWFn = int(WINAPI*)(HDC, LPCWSTR, int, RECT*, UINT);
using CreateFontWFn = HFONT(WINAPI*)(int, int, int, int, int, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD,
                                     LPCWSTR);
using GetOpenFileNameWFn = BOOL(WINAPI*)(OPENFILENAMEW*);

// The wide function on the NT family; null on the 9x family, which only stubs it.
template <typename Function>
Function wide(const char* library, const char* name) {
    return ansiCalls() ? nullptr : systemFunction<Function>(library, name);
}

// Text for an ANSI call; a null text stays null.
struct AnsiText {
    explicit AnsiText(const wchar_t* wideText) : present(wideText != nullptr), text(present ? toAnsi(wideText) : "") {}
    const char* get() const { return present ? text.c_str() : nullptr; }
    bool present;
    std::string text;
};
}  // namespace

bool registerWindowClass(const WNDCLASSEXW& windowClass) {
    if (auto call = wide<RegisterClassExWFn>(UserLibrary, "RegisterClassExW")) return call(&windowClass) != 0;
    const AnsiText name(windowClass.lpszClassName), menu(windowClass.lpszMenuName);
    WNDCLASSEXA ansi{};
    ansi.cbSize = sizeof ansi;
    ansi.style = windowClass.style;
    ansi.lpfnWndProc = windowClass.lpfnWndProc;
    ansi.cbClsExtra = windowClass.cbClsExtra;
    ansi.cbWndExtra = windowClass.cbWndExtra;
    ansi.hInstance = windowClass.hInstance;
    ansi.hIcon = windowClass.hIcon;
    ansi.hCursor = windowClass.hCursor;
    ansi.hbrBackground = windowClass.hbrBackground;
    ansi.lpszMenuName = menu.get();
    ansi.lpszClassName = name.get();
    ansi.hIconSm = windowClass.hIconSm;
    return RegisterClassExA(&ansi) != 0;
}

bool windowClassExists(HINSTANCE instance, const wchar_t* name) {
    if (auto call = wide<GetClassInfoExWFn>(UserLibrary, "GetClassInfoExW")) {
        WNDCLASSEXW found{};
        found.cbSize = sizeof found;
        return call(instance, name, &found) != FALSE;
    }
    WNDCLASSEXA found{};
    found.cbSize = sizeof found;
    return GetClassInfoExA(instance, AnsiText(name).get(), &found) != FALSE;
}

HWND createWindow(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style, int x, int y, int width,
                  int height, HWND parent, HMENU menu, HINSTANCE instance, void* parameter) {
    if (auto call = wide<CreateWindowExWFn>(UserLibrary, "CreateWindowExW")) {
        return call(exStyle, className, text, style, x, y, width, height, parent, menu, instance, parameter);
    }
    return CreateWindowExA(exStyle, AnsiText(className).get(), AnsiText(text).get(), style, x, y, width, height,
                           parent, menu, instance, parameter);
}

// Looked up for each message: the look-up costs a microsecond, far less than any message's handling.
LRESULT defaultWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (auto call = wide<DefWindowProcWFn>(UserLibrary, "DefWindowProcW")) return call(window, message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND findTopWindow(const wchar_t* title) {
    if (auto call = wide<FindWindowWFn>(UserLibrary, "FindWindowW")) return call(nullptr, title);
    return FindWindowA(nullptr, AnsiText(title).get());
}

BOOL getMessage(MSG& message) {
    if (auto call = wide<GetMessageWFn>(UserLibrary, "GetMessageW")) return call(&message, nullptr, 0, 0);
    return GetMessageA(&message, nullptr, 0, 0);
}

bool peekMessage(MSG& message) {
    if (auto call = wide<PeekMessageWFn>(UserLibrary, "PeekMessageW")) {
        return call(&message, nullptr, 0, 0, PM_REMOVE) != FALSE;
    }
    return PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) != FALSE;
}

void dispatchMessage(const MSG& message) {
    if (auto call = wide<DispatchMessageWFn>(UserLibrary, "DispatchMessageW")) {
        call(&message);
        return;
    }
    DispatchMessageA(&message);
}

bool isDialogMessage(HWND dialog, MSG& message) {
    if (auto call = wide<IsDialogMessageWFn>(UserLibrary, "IsDialogMessageW")) return call(dialog, &message) != FALSE;
    return IsDialogMessageA(dialog, &message) != FALSE;
}

// The dialog may close itself while a message is handled: the loop then leaves the rest to the next one.
bool handleDialogMessages(HWND dialog, const bool& closed) {
    MSG msg;
    while (!closed && peekMessage(msg)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (IsWindow(dialog) && isDialogMessage(dialog, msg)) continue;
        TranslateMessage(&msg);
        dispatchMessage(msg);
    }
    return true;
}

std::wstring windowText(HWND window) {
    auto length = wide<GetWindowTextLengthWFn>(UserLibrary, "GetWindowTextLengthW");
    auto text = wide<GetWindowTextWFn>(UserLibrary, "GetWindowTextW");
    if (length && text) {
        int n = length(window);
        std::wstring out(static_cast<size_t>(n > 0 ? n : 0) + 1, L'\0');
        n = text(window, &out[0], static_cast<int>(out.size()));
        out.resize(static_cast<size_t>(n > 0 ? n : 0));
        return out;
    }
    int n = GetWindowTextLengthA(window);
    std::string out(static_cast<size_t>(n > 0 ? n : 0) + 1, '\0');
    n = GetWindowTextA(window, &out[0], static_cast<int>(out.size()));
    out.resize(static_cast<size_t>(n > 0 ? n : 0));
    return fromAnsi(out);
}

void setWindowText(HWND window, const std::wstring& text) {
    if (auto call = wide<SetWindowTextWFn>(UserLibrary, "SetWindowTextW")) {
        call(window, text.c_str());
        return;
    }
    SetWindowTextA(window, toAnsi(text).c_str());
}

void addListEntry(HWND comboBox, const std::wstring& text) {
    if (auto call = wide<SendMessageWFn>(UserLibrary, "SendMessageW")) {
        call(comboBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        return;
    }
    const std::string ansi = toAnsi(text);
    SendMessageA(comboBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ansi.c_str()));
}

void drawText(HDC dc, const std::wstring& text, RECT& area, UINT format) {
    if (auto call = wide<DrawTextWFn>(UserLibrary, "DrawTextW")) {
        call(dc, text.c_str(), static_cast<int>(text.size()), &area, format);
        return;
    }
    const std::string ansi = toAnsi(text);
    DrawTextA(dc, ansi.c_str(), static_cast<int>(ansi.size()), &area, format);
}

HFONT createFaceFont(int height, BYTE charSet, const wchar_t* face) {
    if (auto call = wide<CreateFontWFn>(GdiLibrary, "CreateFontW")) {
        return call(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, charSet, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
    }
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, charSet, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, AnsiText(face).get());
}

// The open-file dialog's fields, the same in its ANSI and wide forms; the buffers give the path's length.
template <class Dialog, class Char>
void fillOpenFile(Dialog& dialog, DWORD size, HWND owner, HINSTANCE instance, const Char* filter, const Char* title,
                  std::vector<Char>& file, std::vector<Char>& fileTitle) {
    dialog.lStructSize = size;
    dialog.hwndOwner = owner;
    dialog.hInstance = instance;
    dialog.lpstrFilter = filter;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrFileTitle = fileTitle.data();
    dialog.nMaxFileTitle = static_cast<DWORD>(fileTitle.size());
    dialog.lpstrTitle = title;
}

// On the 9x family the structure is given at the size of Windows 98's, which refuses the later one.
bool chooseOpenFile(HWND owner, HINSTANCE instance, const std::wstring& filter, const std::wstring& title,
                    unsigned pathChars, std::wstring& path) {
    if (auto call = wide<GetOpenFileNameWFn>(DialogLibrary, "GetOpenFileNameW")) {
        std::vector<wchar_t> file(pathChars, L'\0'), fileTitle(pathChars, L'\0');
        OPENFILENAMEW dialog{};
        fillOpenFile(dialog, sizeof dialog, owner, instance, filter.c_str(), title.c_str(), file, fileTitle);
        if (call(&dialog) <= 0) return false;
        path = file.data();
        return true;
    }
    const std::string ansiFilter = toAnsi(filter), ansiTitle = toAnsi(title);
    std::vector<char> file(pathChars, '\0'), fileTitle(pathChars, '\0');
    OPENFILENAMEA dialog{};
    fillOpenFile(dialog, OPENFILENAME_SIZE_VERSION_400A, owner, instance, ansiFilter.c_str(), ansiTitle.c_str(), file,
                 fileTitle);
    if (GetOpenFileNameA(&dialog) <= 0) return false;
    path = fromAnsi(file.data());
    return true;
}
