// The choice of text functions, the ANSI conversions, through the functions every Windows carries out.
#include "shell/system/system_text.h"

// Asked anew each time: a call costs far less than the work of any caller, and the shell keeps no
// process-wide state.
SystemFamily thisSystemFamily() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) ? systemFamilyOf(version.dwPlatformId) : SystemFamily::Nt;
}

bool ansiCalls() { return speaksAnsi(thisSystemFamily()); }

std::wstring fromAnsi(const std::string& text) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
}

std::string toAnsi(const std::wstring& text, bool* lossless) {
    if (lossless) *lossless = true;
    if (text.empty()) return {};
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                      &usedDefault);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) {
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr,
                            &usedDefault);
    }
    if (lossless) *lossless = n > 0 && !usedDefault;
    return out;
}
