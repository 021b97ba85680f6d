// The 9x family's password check: a copy of the renderer that Wine presents as Windows 98, with a
// stand-in PASSWORD.CPL beside it that logs what it is asked.
#include "renderer/frame/saver_session.h"

#include <optional>
#include <string>

using namespace savertest;

namespace {

constexpr DWORD LogWaitMs = 2000;
const wchar_t* const AppDefaultsKey = L"Software\\Wine\\AppDefaults\\Lumivane.dll";

// Makes Wine report Windows 98 to every program named Lumivane.dll while it lives.
class Windows98Mode {
public:
    Windows98Mode() {
        const wchar_t version[] = L"win98";
        ok_ = RegSetKeyValueW(HKEY_CURRENT_USER, AppDefaultsKey, L"Version", REG_SZ, version, sizeof version) ==
              ERROR_SUCCESS;
    }
    ~Windows98Mode() { RegDeleteKeyW(HKEY_CURRENT_USER, AppDefaultsKey); }
    Windows98Mode(const Windows98Mode&) = delete;
    Windows98Mode& operator=(const Windows98Mode&) = delete;
    bool ok() const { return ok_; }

private:
    bool ok_ = false;
};

std::string passwordLog(const wintest::TempDir& dir) { return wintest::readFileBytes(dir.file(L"password-log.txt")); }

// How many log lines start with `word`.
int countLines(const std::string& log, const std::string& word) {
    int n = 0;
    for (size_t at = 0; (at = log.find(word, at)) != std::string::npos; at += word.size()) {
        n += at == 0 || log[at - 1] == '\n';
    }
    return n;
}

// Waits until `count` log lines start with `word`.
bool waitForLines(const wintest::TempDir& dir, const std::string& word, int count) {
    for (DWORD begin = GetTickCount(); GetTickCount() - begin < LogWaitMs; wintest::pump(5)) {
        if (countLines(passwordLog(dir), word) >= count) return true;
    }
    return false;
}

bool setAnswer(const wintest::TempDir& dir, const char* answer) {
    return wintest::writeFileBytes(dir.file(L"answer.txt"), answer);
}

// Starts a copy of the renderer in `dir`, with `library` (unless null) as its PASSWORD.CPL
// answering `answer`, and waits until it takes input.
bool startIn(Saver& saver, const wintest::TempDir& dir, const char* library, const char* answer) {
    return dir.copyIn(rendererPath(), L"Lumivane.dll") &&
           (!library || dir.copyIn(wintest::fromUnixPath(library), L"PASSWORD.CPL")) && setAnswer(dir, answer) &&
           saver.start(L"", dir.file(L"Lumivane.dll")) && saver.waitReady();
}

}  // namespace

TEST(SaverPassword, RefusedPasswordKeepsItRunningAndTheNextInputAsksAgain) {
    Windows98Mode win98;
    ASSERT_TRUE(win98.ok());
    wintest::TempDir dir(L"password-refuse");
    Saver saver;
    ASSERT_TRUE(startIn(saver, dir, LUMIVANE_VERIFY_CPL, "0"));
    EXPECT_EQ(passwordLog(dir), "") << "asked before any input";

    wintest::pressKey(VK_SPACE);
    ASSERT_TRUE(waitForLines(dir, "free", 1));
    EXPECT_TRUE(saver.stillRunningAfter(StaysOpenForMs));
    // Loaded for the question and freed again; handed the saver window, with the system told a saver runs.
    EXPECT_EQ(passwordLog(dir), "load\nask window=WindowsScreenSaverClass saverRunning=1\nfree\n");

    // Movement is now measured from where the pointer was after the refusal: 4 pixels ask nothing.
    POINT at{};
    GetCursorPos(&at);
    ASSERT_TRUE(placeCursor(at.x + 4, at.y));
    EXPECT_TRUE(saver.stillRunningAfter(StaysOpenForMs));
    EXPECT_EQ(countLines(passwordLog(dir), "ask"), 1);

    wintest::mouseButton(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(waitForLines(dir, "free", 2));
    EXPECT_TRUE(saver.stillRunningAfter(StaysOpenForMs));

    // A real movement asks a third time; now the password is right.
    ASSERT_TRUE(setAnswer(dir, "1"));
    ASSERT_TRUE(placeCursor(at.x + 4, at.y + 5));
    EXPECT_TRUE(saver.endsCleanlyWithin(CloseWithinMs));
    const std::string log = passwordLog(dir);
    EXPECT_EQ(countLines(log, "ask"), 3);
    EXPECT_EQ(countLines(log, "load"), 3);
    EXPECT_EQ(countLines(log, "free"), 3) << "the library is not freed after every question";
}

TEST(SaverPassword, InputAndForeignClosesWhileTheDialogIsOpenAskNothingMore) {
    Windows98Mode win98;
    ASSERT_TRUE(win98.ok());
    wintest::TempDir dir(L"password-dialog");
    Saver saver;
    ASSERT_TRUE(startIn(saver, dir, LUMIVANE_VERIFY_CPL, "w"));
    wintest::pressKey(VK_SPACE);
    ASSERT_TRUE(waitForLines(dir, "ask", 1));
    // The dialog is open now: a key, a click and a foreign close reach the saver window meanwhile.
    wintest::pressKey(VK_SPACE);
    wintest::mouseButton(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    PostMessageW(saver.window(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(waitForLines(dir, "free", 1));
    EXPECT_TRUE(saver.stillRunningAfter(StaysOpenForMs));
    const std::string log = passwordLog(dir);
    EXPECT_EQ(countLines(log, "ask"), 1);
    EXPECT_EQ(countLines(log, "dialog closed"), 1);

    ASSERT_TRUE(setAnswer(dir, "1"));
    wintest::pressKey(VK_SPACE);
    EXPECT_TRUE(saver.endsCleanlyWithin(CloseWithinMs));
}

TEST(SaverPassword, InputEndsItWithoutAskingWhenThereIsNoCheck) {
    struct Case {
        const char* name;
        bool win98;
        const char* library;
        const char* expectedLog;
    };
    for (const Case& c : {Case{"no PASSWORD.CPL", true, nullptr, ""},
                          Case{"PASSWORD.CPL without the export", true, LUMIVANE_NO_EXPORT_CPL, "load\nfree\n"},
                          Case{"NT family", false, LUMIVANE_VERIFY_CPL, ""}}) {
        SCOPED_TRACE(c.name);
        std::optional<Windows98Mode> win98;
        if (c.win98) win98.emplace();
        ASSERT_TRUE(!win98 || win98->ok());
        wintest::TempDir dir(L"password");
        Saver saver;
        ASSERT_TRUE(startIn(saver, dir, c.library, "0"));
        wintest::pressKey(VK_SPACE);
        EXPECT_TRUE(saver.endsCleanlyWithin(CloseWithinMs));
        EXPECT_EQ(passwordLog(dir), c.expectedLog);
    }
}
