// The real Lumivane.scr and Lumivane.dll as Windows 98 runs them: Wine's per-program Version=win98 makes
// GetVersionEx report the 9x family to them alone, so they take their ANSI paths (Wine still carries out
// the wide functions, so that only the programs' own choice is tried here). Three starts: the settings
// dialog under Japanese and under American locales, then a saver run with its password and its music.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "common/names.h"
#include "shell/dialog/scene_dialog_rules.h"
#include "support/dialog_run.h"

using namespace wintest;

namespace {

constexpr DWORD StaysMs = 700;       // a refused password leaves the saver running at least this long
constexpr int ToneRate = 44100;      // samples per second of the music file and of the capture
constexpr int LoudRms = 1000;        // a 50 ms window louder than this sounds (the tone's RMS is 8500)
const wchar_t* const Programs[] = {L"Lumivane.scr", L"Lumivane.dll"};

// Both programs presented as Windows 98 for as long as the record lives.
struct Windows98 {
    Windows98() {
        for (const wchar_t* program : Programs) {
            const std::wstring key = std::wstring(L"Software\\Wine\\AppDefaults\\") + program;
            EXPECT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"Version", REG_SZ, L"win98", 12), ERROR_SUCCESS);
        }
    }
    ~Windows98() {
        for (const wchar_t* program : Programs) {
            RegDeleteKeyW(HKEY_CURRENT_USER, (std::wstring(L"Software\\Wine\\AppDefaults\\") + program).c_str());
        }
    }
};

// The files of a folder, by name.
std::vector<std::wstring> filesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// Opens the dialog of `run` under a locale and checks that it and its controls are ANSI windows.
bool openAnsi(DialogRun& run, const char* locale) {
    if (!run.open(locale)) return false;
    for (HWND w : {run.hwnd, run.panel(), run.trackBox(), run.screensBox()}) {
        EXPECT_TRUE(w && !IsWindowUnicode(w)) << "a wide window on the 9x family";
    }
    return true;
}

// Under a Japanese locale (code page 932) the texts are Japanese. A backup left by a save cut short stands in for
// the missing file; a save on the full disk is reported and leaves the backup alone and nothing else; with room
// again the file is written byte for byte, its other section kept, and the backup goes. Under an American locale
// (code page 1252) the texts are English and the keys keep their Shift-JIS bytes; an old file that cannot step aside
// (a folder has the backup's name) is reported and stays as it was.
TEST(NineX, SettingsDialogSpeaksAnsiLoadsABackupSavesByteExactAndReportsFailedSaves) {
    Windows98 windows98;
    const std::wstring disk = smallDisk();
    ASSERT_FALSE(disk.empty()) << "no small disk mounted at " << LUMIVANE_FULL_DISK_UNIX;
    {
        TempDir dir(L"ninex", disk);
        DialogRun dialog(dir.path(), "");
        const std::string other = "[Other]\r\nkeep=this\r\n";
        ASSERT_TRUE(writeFileBytes(dir.file(L"Lumivane.ini.bak"), iniText(" 1", " 45", "", other)));
        fillDisk(dir);
        ASSERT_TRUE(openAnsi(dialog, "ja_JP.UTF-8"));
        for (const wchar_t* text : {L"BGM", L"無し", L"音楽CD", L"MP3、WAV", L"曲目をﾘﾋﾟｰﾄ", L"画面", L"コマ数",
                                    L"バッテリー駆動中は 30 コマ/秒まで"}) {
            EXPECT_NE(dialog.label(text), nullptr) << "no label";
        }
        for (const wchar_t* text : {L"...", L"その他の作品", L"設定", L"ｷｬﾝｾﾙ"}) EXPECT_NE(dialog.button(text), nullptr);
        // A double-byte text is drawn whole: the battery saver's, the longest, reaches the last quarter of its label.
        RECT end = screenRect(dialog.label(L"バッテリー駆動中は 30 コマ/秒まで"));
        end.left = end.right - (end.right - end.left) / 4;
        const std::vector<RGBQUAD> ink = screenPixels(end);
        EXPECT_GT(std::count_if(ink.begin(), ink.end(), [](RGBQUAD p) { return std::max({p.rgbRed, p.rgbGreen}) < 35; }),
                  10) << "the text is cut short";
        EXPECT_EQ(textOf(dialog.trackBox()), L"45") << "the backup was not loaded";
        EXPECT_TRUE(IsWindowEnabled(dialog.trackBox())) << "the CD choice was not loaded";
        dialog.typeTrack(L"3.5");
        dialog.saveFails(L"設定", L"Lumivane (ScreenSaver)", L"書き込めません:\n");
        EXPECT_EQ(filesIn(dir.path()), (std::vector<std::wstring>{L"Lumivane.dll", L"Lumivane.ini.bak", L"Lumivane.scr",
                                                                  L"filler"})) << "a file left or lost";
        EXPECT_EQ(readFileBytes(dir.file(L"Lumivane.ini.bak")), iniText(" 1", " 45", "", other));
        DeleteFileW(dir.file(L"filler").c_str());
        clickCentre(dialog.button(L"設定"));
        ASSERT_TRUE(dialog.scr.waitExit(WaitMs));
        EXPECT_EQ(filesIn(dir.path()), (std::vector<std::wstring>{L"Lumivane.dll", L"Lumivane.ini", L"Lumivane.scr"}));
        EXPECT_EQ(readFileBytes(dir.file(L"Lumivane.ini")),
                  iniText(" 1", " 4", "", "Screens= 0\r\nFrameRate= 0\r\nBatterySaver= 1\r\n" + other));
    }
    TempDir dir(L"ninex-en");
    DialogRun dialog(dir.path(), "");
    const std::string before = iniText(" 1", " 12", "");
    ASSERT_TRUE(writeFileBytes(dir.file(L"Lumivane.ini"), before) &&
                CreateDirectoryW(dir.file(L"Lumivane.ini.bak").c_str(), nullptr));
    ASSERT_TRUE(openAnsi(dialog, "en_US.UTF-8"));
    for (const wchar_t* text : {L"Music", L"None", L"Audio CD", L"MP3 or WAV file", L"Repeat track", L"Screens",
                                L"Frame rate", L"At most 30 a second on battery"}) {
        EXPECT_NE(dialog.label(text), nullptr) << "no label";
    }
    for (const wchar_t* text : {L"...", L"More works", L"OK", L"Cancel"}) EXPECT_NE(dialog.button(text), nullptr);
    EXPECT_EQ(textOf(dialog.trackBox()), L"12");
    // The Scene dialog's own windows are ANSI windows too, with their texts and every slider (Wine's common
    // controls register the slider class wide only, so the sliders' own kind says nothing here); its Cancel gives
    // the settings dialog back.
    clickCentre(dialog.button(L"Scene\u2026"));
    HWND scene = waitForWindow(SceneDialogClassName, nullptr, WaitMs);
    ASSERT_NE(scene, nullptr) << "the Scene button opened nothing";
    EXPECT_EQ(textOf(scene), L"Scene");
    int sliders = 0;
    for (HWND w = nullptr; (w = FindWindowExW(scene, w, L"msctls_trackbar32", nullptr));) ++sliders;
    EXPECT_EQ(sliders, SceneSliderCount);
    for (const wchar_t* text : {L"&Particles", L"C&olours", L"P&reset"}) {
        EXPECT_NE(FindWindowExW(scene, nullptr, L"Static", text), nullptr) << "no label";
    }
    EXPECT_FALSE(IsWindowUnicode(scene));
    EXPECT_FALSE(IsWindowUnicode(FindWindowExW(scene, nullptr, L"ComboBox", nullptr)));
    clickCentre(FindWindowExW(scene, nullptr, L"Button", L"Cancel"));
    EXPECT_TRUE(within(WaitMs, [&] { return !IsWindow(scene) && IsWindowEnabled(dialog.hwnd); }));
    dialog.typeTrack(L"7");
    dialog.saveFails(L"OK", L"Lumivane Screensaver", L"cannot be written:\n");
    EXPECT_EQ(readFileBytes(dir.file(L"Lumivane.ini")), before);
    EXPECT_EQ(filesIn(dir.path()), (std::vector<std::wstring>{L"Lumivane.dll", L"Lumivane.ini", L"Lumivane.ini.bak",
                                                              L"Lumivane.scr"})) << "a file left";
    RemoveDirectoryW(dir.file(L"Lumivane.ini.bak").c_str());
    clickCentre(dialog.button(L"OK"));
    ASSERT_TRUE(dialog.scr.waitExit(WaitMs));
    EXPECT_EQ(readFileBytes(dir.file(L"Lumivane.ini")),
              iniText(" 1", " 7", "", "Screens= 0\r\nFrameRate= 0\r\nBatterySaver= 1\r\n"));
    EXPECT_EQ(filesIn(dir.path()), (std::vector<std::wstring>{L"Lumivane.dll", L"Lumivane.ini", L"Lumivane.scr"}));
}

// A 16-bit mono WAV of a 1 kHz tone lasting a second.
std::string toneWav() {
    std::string samples;
    for (int i = 0; i < ToneRate; ++i) {
        const auto v = static_cast<int16_t>(12000 * std::sin(2 * 3.14159265 * 1000 * i / ToneRate));
        samples += {char(v & 0xFF), char((v >> 8) & 0xFF)};
    }
    const auto word = [](uint32_t v, int bytes) {
        std::string out;
        for (int b = 0; b < bytes; ++b) out += char((v >> (8 * b)) & 0xFF);
        return out;
    };
    return "RIFF" + word(36 + samples.size(), 4) + "WAVEfmt " + word(16, 4) + word(1, 2) + word(1, 2) +
           word(ToneRate, 4) + word(ToneRate * 2, 4) + word(2, 2) + word(16, 2) + "data" + word(samples.size(), 4) +
           samples;
}

// Seconds of the capture (16-bit stereo) whose left channel sounds, in 50 ms windows.
double soundingSeconds(const std::string& capture) {
    const size_t frames = capture.size() / 4, window = ToneRate / 20;
    int loud = 0;
    for (size_t start = 0; start + window <= frames; start += window) {
        double sum = 0;
        for (size_t f = start; f < start + window; ++f) {
            const int16_t left = static_cast<int16_t>(uint8_t(capture[4 * f]) | (uint8_t(capture[4 * f + 1]) << 8));
            sum += double(left) * left;
        }
        loud += std::sqrt(sum / window) > LoudRms;
    }
    return loud / 20.0;
}

// /s starts the renderer; the first key asks the password through PASSWORD.CPL, and a refused one keeps the saver
// and its looping WAV going; the next key, answered right, ends the renderer and then the shell.
TEST(NineX, SaverRunAsksThePasswordHonoursItsAnswerAndPlaysTheMusic) {
    Windows98 windows98;
    // The folder lies under HOME, a Unix folder, so that ALSA can be told where the capture goes.
    const std::wstring home = fromUnixPath(LUMIVANE_HOME_UNIX);
    TempDir dir(L"ninex-run", home);
    const std::wstring capture = dir.file(L"capture.raw");
    const std::string captureUnix = LUMIVANE_HOME_UNIX "/" + std::filesystem::path(dir.path()).filename().string() +
                                    "/capture.raw";
    ASSERT_TRUE(writeFileBytes(home + L"\\.asoundrc",
                               "pcm.!default { type plug; slave { pcm \"cap\"; format S16_LE; rate 44100; channels 2 } }\n"
                               "pcm.cap { type file; slave.pcm \"null\"; file \"" + captureUnix + "\"; format \"raw\" }\n"));
    const std::wstring wav = dir.file(L"tone.wav");
    ASSERT_TRUE(writeFileBytes(wav, toneWav()) && dir.copyIn(L"Lumivane.scr", L"Lumivane.scr") &&
                dir.copyIn(L"Lumivane.dll", L"Lumivane.dll") &&
                dir.copyIn(fromUnixPath(LUMIVANE_VERIFY_CPL), L"PASSWORD.CPL") &&
                writeFileBytes(dir.file(L"answer.txt"), "0") &&
                writeFileBytes(dir.file(L"Lumivane.ini"), iniText(" 2", " 0", std::string(wav.begin(), wav.end()))));
    Process shell;
    ASSERT_TRUE(shell.start(dir.file(L"Lumivane.scr"), L"/s"));
    HWND host = waitForWindow(nullptr, RunHostTitle, WaitMs), saver = waitForWindow(nullptr, SaverRunningTitleW, WaitMs);
    ASSERT_TRUE(host && saver) << "no run host or no renderer window";
    EXPECT_FALSE(IsWindowUnicode(host)) << "a wide run host on the 9x family";
    Sleep(1500);  // the renderer ignores input right after its start
    const auto logs = [&](const std::string& text) {
        return within(3000, [&] { return readFileBytes(dir.file(L"password-log.txt")) == text; });
    };
    const std::string asked = "ask WindowsScreenSaverClass\n";
    SetForegroundWindow(saver);
    pressKey(VK_SPACE);
    EXPECT_TRUE(logs(asked)) << "the password was not asked";
    Sleep(StaysMs);
    EXPECT_TRUE(IsWindow(saver) && shell.running()) << "a refused password ended the run";
    ASSERT_TRUE(writeFileBytes(dir.file(L"answer.txt"), "1"));
    SetForegroundWindow(saver);
    pressKey(VK_SPACE);
    EXPECT_TRUE(logs(asked + asked));
    EXPECT_TRUE(shell.waitExit(WaitMs) && shell.exitCode() == 0) << "the shell did not end after its renderer";
    EXPECT_FALSE(IsWindow(saver));
    EXPECT_GE(soundingSeconds(readFileBytes(capture)), 2.0) << "the music did not play on";
}

}  // namespace
