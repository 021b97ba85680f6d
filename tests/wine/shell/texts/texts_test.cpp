// Lumivane.scr started under Japanese, American and German locales: its dialog and its message in the
// interface language, and one settings file for both languages.
#include <windows.h>

#include <dlgs.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "common/names.h"
#include "shell/texts/texts.h"
#include "support/win_test_support.h"

using namespace wintest;

namespace {

constexpr wchar_t PanelClass[] = L"Glimra.Panel";
constexpr wchar_t LabelClass[] = L"Glimra.Label";
constexpr DWORD StartMs = 20000;  // wine-run, then Wine starting a program on a busy machine
constexpr DWORD ExitMs = 10000;
constexpr WORD JapaneseTable = 0x0411;
constexpr WORD EnglishTable = 0x0409;

// A glibc locale and the table its user reads.
struct Locale {
    const char* name;
    TextLanguage language;
};
constexpr Locale Japanese{"ja_JP.UTF-8", TextLanguage::Japanese};
constexpr Locale American{"en_US.UTF-8", TextLanguage::English};
constexpr Locale German{"de_DE.UTF-8", TextLanguage::English};

std::string utf8(const std::wstring& text) {
    char out[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out, sizeof out, nullptr, nullptr);
    return out;
}

// The built Lumivane.scr's string tables, read as data.
class Tables {
public:
    Tables()
        : module_(LoadLibraryExW((distDir() + L"\\Lumivane.scr").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~Tables() {
        if (module_) FreeLibrary(module_);
    }
    std::wstring operator()(unsigned id, TextLanguage language) const { return tableText(module_, id, language); }
    HMODULE module() const { return module_; }

private:
    HMODULE module_;
};

// Class and text of every label and button of a dialog in another process, sorted.
using Controls = std::vector<std::pair<std::wstring, std::wstring>>;
Controls controlTexts(HWND dialog) {
    Controls seen;
    for (HWND parent : {dialog, FindWindowExW(dialog, nullptr, PanelClass, nullptr)}) {
        for (HWND c = nullptr; (c = FindWindowExW(parent, c, nullptr, nullptr)) != nullptr;) {
            wchar_t name[64] = {};
            GetClassNameW(c, name, 64);
            if (!lstrcmpW(name, LabelClass) || !lstrcmpW(name, CommandClassName)) seen.push_back({name, textOf(c)});
        }
    }
    std::sort(seen.begin(), seen.end());
    return seen;
}

// The screen under a window as a 24-bit BMP file beside the test program, for a person to look at.
void saveScreenshot(HWND window, const std::string& name) {
    const RECT r = screenRect(window);
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP shot = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, shot);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(mem, old);
    BITMAPINFOHEADER info{sizeof(info), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    std::string pixels(static_cast<size_t>((w * 3 + 3) & ~3) * h, '\0');
    GetDIBits(mem, shot, 0, h, &pixels[0], reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    const DWORD headers = sizeof(BITMAPFILEHEADER) + sizeof(info);
    BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(headers + pixels.size()), 0, 0, headers};
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring path(program);
    path = path.substr(0, path.find_last_of(L'\\') + 1) + std::wstring(name.begin(), name.end()) + L".bmp";
    writeFileBytes(path, std::string(reinterpret_cast<char*>(&file), sizeof(file)) +
                             std::string(reinterpret_cast<char*>(&info), sizeof(info)) + pixels);
    std::printf("screenshot: %s\n", utf8(path).c_str());
    DeleteObject(shot);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

// A folder with Lumivane.scr, a stand-in renderer unless told otherwise and a settings file; the program
// started there with /c under a locale.
class LocaleRun {
public:
    LocaleRun(const std::string& ini, bool renderer) : dir(L"texts") {
        EXPECT_TRUE(dir.copyIn(L"Lumivane.scr", L"Lumivane.scr"));
        EXPECT_TRUE(!renderer || writeFileBytes(dir.file(L"Lumivane.dll"), "MZ stand-in"));
        EXPECT_TRUE(writeFileBytes(iniPath(), ini));
        moveMouseTo(5, 5);  // away from where the dialog opens
    }
    // Waits for the program's top-level window with this title; the process is then this run's.
    HWND start(const Locale& locale, const wchar_t* title) {
        EXPECT_TRUE(startUnderLocale(dir.file(L"Lumivane.scr"), L"/c", locale.name));
        HWND window = waitForWindow(nullptr, title, StartMs);
        if (!window) return nullptr;
        EXPECT_TRUE(scr.attach(window));
        within(5000, [&] { return IsWindowVisible(window) != 0; });
        Sleep(500);
        return window;
    }
    std::wstring iniPath() const { return dir.file(L"Lumivane.ini"); }

    TempDir dir;
    Process scr;  // declared after the folder: ends before its files are removed
};

class Texts : public ::testing::Test {
protected:
    // A failed run leaves no window that would keep the next one from starting.
    void TearDown() override {
        Process::killByWindowTitle(SettingsDialogTitle);
        for (TextLanguage language : {TextLanguage::Japanese, TextLanguage::English}) {
            Process::killByWindowTitle(tables(TEXT_APPLICATION_TITLE, language).c_str());
        }
    }
    Tables tables;
};

BOOL CALLBACK collectBlock(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR blocks) {
    if (IS_INTRESOURCE(name)) reinterpret_cast<std::vector<unsigned>*>(blocks)->push_back(LOWORD(name));
    return TRUE;
}

BOOL CALLBACK collectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR languages) {
    reinterpret_cast<std::vector<WORD>*>(languages)->push_back(language);
    return TRUE;
}

}  // namespace

TEST_F(Texts, EveryTextHasAJapaneseAndAPlainEnglishLineAndNoOtherTableExists) {
    ASSERT_NE(tables.module(), nullptr);
    const auto type = reinterpret_cast<LPCWSTR>(RT_STRING);
    std::vector<unsigned> blocks;
    EnumResourceNamesW(tables.module(), type, collectBlock, reinterpret_cast<LONG_PTR>(&blocks));
    ASSERT_FALSE(blocks.empty());
    for (unsigned block : blocks) {
        std::vector<WORD> languages;
        EnumResourceLanguagesW(tables.module(), type, MAKEINTRESOURCEW(block), collectLanguage,
                               reinterpret_cast<LONG_PTR>(&languages));
        std::sort(languages.begin(), languages.end());
        EXPECT_EQ(languages, (std::vector<WORD>{EnglishTable, JapaneseTable})) << "block " << block;
        for (unsigned id = (block - 1) * 16; id < block * 16; ++id) {
            const std::wstring japanese = tables(id, TextLanguage::Japanese);
            const std::wstring english = tables(id, TextLanguage::English);
            EXPECT_EQ(japanese.empty(), english.empty()) << "text " << id << ": " << utf8(japanese) << utf8(english);
            EXPECT_TRUE(std::all_of(english.begin(), english.end(), [](wchar_t c) { return c < 0x80; }))
                << "text " << id << " in the English table: " << utf8(english);
        }
    }
}

TEST_F(Texts, SettingsDialogShowsEveryTextInTheInterfaceLanguage) {
    for (const Locale& locale : {Japanese, American, German}) {
        SCOPED_TRACE(locale.name);
        LocaleRun run(iniText(" 0", " 0", ""), true);
        HWND dialog = run.start(locale, SettingsDialogTitle);
        ASSERT_NE(dialog, nullptr);
        // Three radio marks and the empty file label show no text.
        Controls expected(4, {LabelClass, L""});
        for (unsigned id : {TEXT_MUSIC_HEADING, TEXT_SOURCE_NONE, TEXT_SOURCE_CD, TEXT_SOURCE_FILE, TEXT_REPEAT_TRACK,
                            TEXT_SCREENS}) {
            expected.push_back({LabelClass, tables(id, locale.language)});
            EXPECT_FALSE(expected.back().second.empty()) << id;
        }
        for (unsigned id : {TEXT_CHOOSE_FILE, TEXT_MORE_WORKS, TEXT_SAVE, TEXT_CANCEL}) {
            expected.push_back({CommandClassName, tables(id, locale.language)});
            EXPECT_FALSE(expected.back().second.empty()) << id;
        }
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(controlTexts(dialog), expected);
        HWND screens = FindWindowExW(dialog, nullptr, L"ComboBox", nullptr);
        for (int entry : {0, 1}) {
            wchar_t text[64] = {};
            ask(screens, CB_GETLBTEXT, entry, reinterpret_cast<LPARAM>(text));
            EXPECT_EQ(text, tables(entry == 0 ? TEXT_SCREENS_EVERY : TEXT_SCREENS_PRIMARY, locale.language));
        }
        saveScreenshot(dialog, std::string("dialog-") + locale.name);

        // The file choice: its title and its file type.
        HWND panel = FindWindowExW(dialog, nullptr, PanelClass, nullptr);
        const std::wstring fileSource = tables(TEXT_SOURCE_FILE, locale.language);
        const std::wstring chooseFile = tables(TEXT_CHOOSE_FILE, locale.language);
        clickCentre(FindWindowExW(panel, nullptr, LabelClass, fileSource.c_str()));
        clickCentre(FindWindowExW(panel, nullptr, CommandClassName, chooseFile.c_str()));
        const std::wstring title = tables(TEXT_FILE_DIALOG_TITLE, locale.language);
        HWND chooser = waitForWindow(nullptr, title.c_str(), StartMs);
        ASSERT_NE(chooser, nullptr) << "no file choice titled " << utf8(title);
        EXPECT_EQ(textOf(GetDlgItem(chooser, cmb1)), tables(TEXT_FILE_FILTER, locale.language));
        PostMessageW(chooser, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(waitForNoWindow(nullptr, title.c_str(), ExitMs));
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        EXPECT_TRUE(run.scr.waitExit(ExitMs));
    }
}

TEST_F(Texts, MissingRendererMessageNamesBothFilesInTheInterfaceLanguage) {
    for (const Locale& locale : {Japanese, American}) {
        SCOPED_TRACE(locale.name);
        LocaleRun run("", false);
        const std::wstring caption = tables(TEXT_APPLICATION_TITLE, locale.language);
        HWND box = run.start(locale, caption.c_str());
        ASSERT_NE(box, nullptr) << "no message titled " << utf8(caption);
        std::wstring message;
        for (HWND part = nullptr; (part = FindWindowExW(box, part, L"Static", nullptr)) != nullptr;) {
            message += textOf(part);
        }
        EXPECT_EQ(message, tables(TEXT_RENDERER_MISSING, locale.language)) << utf8(message);
        EXPECT_NE(message.find(L"Lumivane.dll"), std::wstring::npos);
        EXPECT_NE(message.find(L"Lumivane.scr"), std::wstring::npos);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(run.scr.waitExit(ExitMs));
    }
}

// Each run saves another track, so that the profile functions really write the file (an unchanged
// value leaves it untouched).
TEST_F(Texts, SettingsSavedUnderOneLanguageLoadUnderTheOtherWithTheSameKeys) {
    TempDir music(L"music");
    const std::wstring song = music.file(L"loop.wav");
    ASSERT_TRUE(writeFileBytes(song, "RIFF"));
    const std::string path(song.begin(), song.end());
    LocaleRun run(iniText(" 1", " 12", path), true);
    std::wstring track = L"12";
    for (const Locale& locale : {Japanese, American, Japanese}) {
        SCOPED_TRACE(locale.name);
        HWND dialog = run.start(locale, SettingsDialogTitle);
        ASSERT_NE(dialog, nullptr);
        HWND panel = FindWindowExW(dialog, nullptr, PanelClass, nullptr);
        HWND combo = FindWindowExW(panel, nullptr, L"ComboBox", nullptr);
        EXPECT_TRUE(IsWindowEnabled(combo)) << "the audio CD is the source";
        EXPECT_EQ(textOf(combo), track);
        EXPECT_NE(FindWindowExW(panel, nullptr, LabelClass, song.c_str()), nullptr) << "the file is shown";
        track = std::to_wstring(std::stoi(track) + 1);
        ask(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(track.c_str()));
        const std::wstring save = tables(TEXT_SAVE, locale.language);
        clickCentre(FindWindowExW(dialog, nullptr, CommandClassName, save.c_str()));
        ASSERT_TRUE(run.scr.waitExit(ExitMs));
        const std::string ini = readFileBytes(run.iniPath());
        EXPECT_EQ(stored(ini, KeySource), "1");
        EXPECT_EQ(stored(ini, KeyRepeat), std::string(track.begin(), track.end()));
        EXPECT_EQ(stored(ini, KeyFile), path);
        EXPECT_EQ(stored(ini, "Screens"), "0");
        EXPECT_EQ(std::count(ini.begin(), ini.end(), '\n'), 5) << "the section and the four keys only:\n" << ini;
    }
}
