// The 9x family's password check: a copy of the renderer that Wine presents as Windows 98, with
// stand-in password libraries beside it.
#include "renderer_window/saver_session.h"

#include <string>
#include <vector>

using namespace savertest;

namespace {

constexpr DWORD CloseWithinMs = 1000;
constexpr DWORD StaysOpenForMs = 1000;
constexpr DWORD SettleMs = 300;
constexpr DWORD LogWaitMs = 2000;
const wchar_t* const AppDefaultsKey = L"Software\\Wine\\AppDefaults\\Lumivane.dll";
const wchar_t* const LogName = L"password-log.txt";

[[maybe_unused]] ::testing::Environment* const unmanaged =
    ::testing::AddGlobalTestEnvironment(new UnmanagedWindowsEnvironment);

// Makes Wine report Windows 98 to every program named Lumivane.dll while it lives.
class Windows98Mode {
public:
    Windows98Mode() {
        HKEY key = nullptr;
        ok_ = RegCreateKeyExW(HKEY_CURRENT_USER, AppDefaultsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                              nullptr) == ERROR_SUCCESS;
        if (!ok_) return;
        const wchar_t version[] = L"win98";
        ok_ = RegSetValueExW(key, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                             sizeof version) == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    ~Windows98Mode() { RegDeleteKeyW(HKEY_CURRENT_USER, AppDefaultsKey); }
    Windows98Mode(const Windows98Mode&) = delete;
    Windows98Mode& operator=(const Windows98Mode&) = delete;
    bool ok() const { return ok_; }

private:
    bool ok_ = false;
};

// The log lines the stand-in library wrote in `dir`.
std::vector<std::string> logLines(const wintest::TempDir& dir) {
    std::vector<std::string> lines;
    std::string text = wintest::readFileBytes(dir.file(LogName));
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

int countLines(const std::vector<std::string>& lines, const std::string& prefix) {
    int n = 0;
    for (const std::string& l : lines) n += l.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
}

// Waits until the log holds `asks` questions, each followed by the library's release.
bool waitForAsks(const wintest::TempDir& dir, int asks) {
    DWORD begin = GetTickCount();
    while (GetTickCount() - begin < LogWaitMs) {
        auto lines = logLines(dir);
        if (countLines(lines, "ask") >= asks && countLines(lines, "free") >= asks) return true;
        wintest::pump(5);
    }
    return false;
}

bool setAnswer(const wintest::TempDir& dir, const char* answer) {
    return wintest::writeFileBytes(dir.file(L"answer.txt"), answer);
}

// A folder with a copy of the renderer and, unless null, `library` as its PASSWORD.CPL.
bool prepare(const wintest::TempDir& dir, const char* libraryUnixPath) {
    if (!dir.copyIn(rendererPath(), L"Lumivane.dll")) return false;
    return !libraryUnixPath || dir.copyIn(wintest::fromUnixPath(libraryUnixPath), L"PASSWORD.CPL");
}

}  // namespace

TEST(SaverPassword, RefusedPasswordKeepsItRunningAndTheNextInputAsksAgain) {
    Windows98Mode win98;
    ASSERT_TRUE(win98.ok());
    wintest::TempDir dir(L"password-refuse");
    ASSERT_TRUE(prepare(dir, LUMIVANE_VERIFY_CPL));
    ASSERT_TRUE(setAnswer(dir, "0"));

    Saver saver;
    ASSERT_TRUE(saver.start(L"", dir.file(L"Lumivane.dll")));
    ASSERT_TRUE(saver.waitForeground());
    wintest::pump(SettleMs);
    EXPECT_TRUE(logLines(dir).empty()) << "asked before any input";

    wintest::pressKey(VK_SPACE);
    ASSERT_TRUE(waitForAsks(dir, 1));
    EXPECT_TRUE(saver.stillRunningAfter(StaysOpenForMs));
    auto lines = logLines(dir);
    // Loaded for the question and freed again; the saver window was handed over, marked running.
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "load");
    EXPECT_EQ(lines[1], "ask window=WindowsScreenSaverClass saverRunning=1");
    EXPECT_EQ(lines[2], "free");

    // After the refusal, movement is measured from where the pointer was then: 4 pixels asks nothing.
    POINT at{};
    GetCursorPos(&at);
    ASSERT_TRUE(placeCursor(at.x + 4, at.y));
    EXPECT_TRUE(saver.stillRunningAfter(StaysOpenForMs));
    EXPECT_EQ(countLines(logLines(dir), "ask"), 1);

    // A click asks again, and is refused again.
    wintest::mouseButton(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(waitForAsks(dir, 2));
    EXPECT_TRUE(saver.stillRunningAfter(StaysOpenForMs));

    // A real movement asks a third time; now the password is right.
    ASSERT_TRUE(setAnswer(dir, "1"));
    ASSERT_TRUE(placeCursor(at.x + 4, at.y + 5));
    DWORD took = 0;
    EXPECT_TRUE(saver.endsCleanlyWithin(CloseWithinMs, &took));
    lines = logLines(dir);
    EXPECT_EQ(countLines(lines, "ask"), 3);
    EXPECT_EQ(countLines(lines, "load"), 3);
    EXPECT_EQ(countLines(lines, "free"), 3) << "the library is freed after every question";
    std::printf("accepted password: ended after %lu ms\n", static_cast<unsigned long>(took));
}

TEST(SaverPassword, InputAndForeignClosesWhileTheDialogIsOpenAskNothingMore) {
    Windows98Mode win98;
    ASSERT_TRUE(win98.ok());
    wintest::TempDir dir(L"password-dialog");
    ASSERT_TRUE(prepare(dir, LUMIVANE_VERIFY_CPL));
    ASSERT_TRUE(setAnswer(dir, "w"));

    Saver saver;
    ASSERT_TRUE(saver.start(L"", dir.file(L"Lumivane.dll")));
    ASSERT_TRUE(saver.waitForeground());
    wintest::pump(SettleMs);
    wintest::pressKey(VK_SPACE);
    DWORD begin = GetTickCount();
    while (countLines(logLines(dir), "ask") == 0 && GetTickCount() - begin < LogWaitMs) Sleep(5);
    ASSERT_EQ(countLines(logLines(dir), "ask"), 1);
    // The dialog is open now: keys, clicks and a foreign close reach the saver window meanwhile.
    wintest::pressKey(VK_SPACE);
    wintest::mouseButton(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    PostMessageW(saver.window(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(waitForAsks(dir, 1));
    EXPECT_TRUE(saver.stillRunningAfter(StaysOpenForMs));
    auto lines = logLines(dir);
    EXPECT_EQ(countLines(lines, "ask"), 1);
    EXPECT_EQ(countLines(lines, "dialog closed"), 1);

    ASSERT_TRUE(setAnswer(dir, "1"));
    wintest::pressKey(VK_SPACE);
    EXPECT_TRUE(saver.endsCleanlyWithin(CloseWithinMs));
}

TEST(SaverPassword, MissingLibraryOrExportClosesWithoutAsking) {
    Windows98Mode win98;
    ASSERT_TRUE(win98.ok());
    {
        SCOPED_TRACE("no PASSWORD.CPL");
        wintest::TempDir dir(L"password-none");
        ASSERT_TRUE(prepare(dir, nullptr));
        Saver saver;
        ASSERT_TRUE(saver.start(L"", dir.file(L"Lumivane.dll")));
        ASSERT_TRUE(saver.waitForeground());
        wintest::pump(SettleMs);
        wintest::pressKey(VK_SPACE);
        EXPECT_TRUE(saver.endsCleanlyWithin(CloseWithinMs));
    }
    {
        SCOPED_TRACE("PASSWORD.CPL without VerifyScreenSavePwd");
        wintest::TempDir dir(L"password-noexport");
        ASSERT_TRUE(prepare(dir, LUMIVANE_NO_EXPORT_CPL));
        Saver saver;
        ASSERT_TRUE(saver.start(L"", dir.file(L"Lumivane.dll")));
        ASSERT_TRUE(saver.waitForeground());
        wintest::pump(SettleMs);
        wintest::pressKey(VK_SPACE);
        EXPECT_TRUE(saver.endsCleanlyWithin(CloseWithinMs));
        // It did look for the check (so the 9x path ran) and let the library go before ending.
        auto lines = logLines(dir);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0], "load");
        EXPECT_EQ(lines[1], "free");
    }
}

TEST(SaverPassword, NtFamilyNeverAsks) {
    wintest::TempDir dir(L"password-nt");
    ASSERT_TRUE(prepare(dir, LUMIVANE_VERIFY_CPL));
    ASSERT_TRUE(setAnswer(dir, "0"));
    Saver saver;
    ASSERT_TRUE(saver.start(L"", dir.file(L"Lumivane.dll")));
    ASSERT_TRUE(saver.waitForeground());
    wintest::pump(SettleMs);
    wintest::pressKey(VK_SPACE);
    EXPECT_TRUE(saver.endsCleanlyWithin(CloseWithinMs));
    EXPECT_TRUE(logLines(dir).empty());
}
