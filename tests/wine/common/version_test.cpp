// The version resource of both built programs, read back as Windows shows it under Properties, Details.
#include <gtest/gtest.h>

#include <cstdio>

#include <string>
#include <vector>

#include "support/win_test_support.h"

namespace {

// One string of the English (United States), Unicode block; empty when missing.
std::wstring versionString(const std::vector<char>& data, const wchar_t* name) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueW(data.data(), path.c_str(), &value, &length) || length == 0) return {};
    return static_cast<const wchar_t*>(value);
}

std::string narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

TEST(VersionResource, BothProgramsCarryTheBuildsVersionProductAndCopyright) {
    const std::string text = LUMIVANE_VERSION;
    const std::wstring version(text.begin(), text.end());
    int major = 0, minor = 0, patch = 0;
    ASSERT_EQ(std::sscanf(LUMIVANE_VERSION, "%d.%d.%d", &major, &minor, &patch), 3);
    std::vector<std::wstring> descriptions;
    for (const wchar_t* program : {L"Lumivane.scr", L"Lumivane.dll"}) {
        SCOPED_TRACE(narrow(program));
        const std::wstring file = wintest::distDir() + L"\\" + program;
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
        ASSERT_GT(size, 0u) << "no version resource";
        std::vector<char> data(size);
        ASSERT_TRUE(GetFileVersionInfoW(file.c_str(), 0, size, data.data()));

        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
        EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(minor, major)));
        EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(0, patch)));
        EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
        EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
        EXPECT_EQ(versionString(data, L"FileVersion"), version);
        EXPECT_EQ(versionString(data, L"ProductVersion"), version);
        EXPECT_EQ(versionString(data, L"ProductName"), L"Lumivane");
        EXPECT_EQ(versionString(data, L"OriginalFilename"), program);
        EXPECT_EQ(versionString(data, L"LegalCopyright"), L"Copyright (c) 2026 the Lumivane authors");
        descriptions.push_back(versionString(data, L"FileDescription"));
        EXPECT_FALSE(descriptions.back().empty());
    }
    EXPECT_NE(descriptions[0], descriptions[1]) << "each program describes itself";
}

}  // namespace
