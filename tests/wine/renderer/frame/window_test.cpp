// The real renderer driven with real input on two monitors, a 1024x768 primary and an 800x600 one
// right of it: its window, inputs, closes, a second renderer, a failed set-up, resources, 9x password.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

#include "common/names.h"
#include "support/win_test_support.h"

namespace {

constexpr DWORD EndWithinMs = 1000;  // an input that ends the renderer ends its process within this
constexpr DWORD StaysMs = 700;       // an ignored input leaves it running at least this long
const std::wstring RendererExe = wintest::distDir() + L"\\" + RendererFileName;
const wchar_t* const SaverClass = L"WindowsScreenSaverClass";

// Pumps this thread's messages (the renderer sends some) until `done` holds, for up to `ms`.
bool pumpUntil(DWORD ms, const std::function<bool()>& done) {
    for (const DWORD start = GetTickCount(); !done(); wintest::pump(5)) {
        if (GetTickCount() - start >= ms) return false;
    }
    return true;
}

// Puts the pointer on pixel (x, y) of the 1824x768 desktop with a real move; false when it never gets there.
bool placeCursor(int x, int y) {
    INPUT in{INPUT_MOUSE, {}};
    in.mi = {MulDiv(2 * x + 1, 65536, 2 * 1824), MulDiv(2 * y + 1, 65536, 2 * 768), 0,
             MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK, 0, 0};
    SendInput(1, &in, sizeof in);
    POINT p{};
    return pumpUntil(1000, [&] { return GetCursorPos(&p) && p.x == x && p.y == y; });
}

// The top-level windows of the saver class that process `pid` owns.
std::vector<HWND> saverWindows(DWORD pid) {
    std::vector<HWND> found;
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, SaverClass, nullptr)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid) found.push_back(w);
    }
    return found;
}

// A real renderer; killed with the record.
struct Saver {
    wintest::Process process;
    HWND window = nullptr;

    // Starts `exe args` with the pointer at `pointer`, runs `beforeShown` before the window shows, waits until it
    // is in front and checks it: the process's one, over the whole desktop, top-most, no caption or pointer.
    bool start(const wchar_t* args, POINT pointer = {512, 384}, const std::wstring& exe = RendererExe,
               const std::function<void()>& beforeShown = [] {}) {
        wchar_t title[64] = {};
        if (!placeCursor(pointer.x, pointer.y) || !process.start(exe, args) || !pumpUntil(20000, [&] {
                const std::vector<HWND> found = saverWindows(process.id());
                window = found.empty() ? nullptr : found.front();
                return window && GetWindowTextW(window, title, 64) && SaverRunningTitleW == std::wstring(title);
            })) {
            return false;
        }
        beforeShown();
        if (!pumpUntil(5000, [&] { return GetForegroundWindow() == window; })) return false;
        wintest::pump(300);
        const RECT r = wintest::screenRect(window);
        CURSORINFO cursor{sizeof cursor, 0, nullptr, {}};
        EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right, r.bottom}), std::vector<LONG>({0, 0, 1824, 768}));
        EXPECT_EQ(saverWindows(process.id()).size(), 1u);
        EXPECT_EQ(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST, WS_EX_TOPMOST);
        EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & (WS_POPUP | WS_CAPTION), WS_POPUP);
        EXPECT_TRUE(GetCursorInfo(&cursor) && cursor.hCursor == nullptr) << "the pointer shows";
        return process.running();
    }
    // True when the process ends with exit code 0 within `ms`, its window gone.
    bool endsWithin(DWORD ms) {
        return pumpUntil(ms, [&] { return !process.running(); }) && process.exitCode() == 0 && !IsWindow(window);
    }
    bool runsAfter(DWORD ms) { return !pumpUntil(ms, [&] { return !process.running(); }) && IsWindow(window); }
};

// The pointer goes far before the window shows, so the first mouse-move message reports a long way;
// movement is still measured from the start, and a close from another program waits for user input.
TEST(Renderer, FirstMoveForeignClosesAndASecondRenderer) {
    Saver saver;
    bool farWhileHidden = false;
    ASSERT_TRUE(saver.start(L"", {512, 384}, RendererExe,
                            [&] { farWhileHidden = placeCursor(812, 584) && !IsWindowVisible(saver.window); }));
    ASSERT_TRUE(farWhileHidden) << "the window showed before the pointer could be moved";
    PostMessageW(saver.window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(saver.runsAfter(StaysMs)) << "the first move or a close before any input ended it";
    ASSERT_TRUE(placeCursor(514, 386));
    EXPECT_TRUE(saver.runsAfter(StaysMs)) << "a step of 4 ended it";
    PostMessageW(saver.window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(saver.endsWithin(EndWithinMs)) << "the same close after the user's input";

    // A renderer still setting up makes a new one give way; a running one does not stop a second one,
    // but loses the activation to it, which ends it.
    const WNDCLASSW saverClass{0, DefWindowProcW, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, SaverClass};
    RegisterClassW(&saverClass);
    HWND starting = CreateWindowExW(0, saverClass.lpszClassName, L"Screensaver", WS_POPUP, 0, 0, 9, 9, 0, 0, 0, 0);
    wintest::Process late;
    bool sawWindow = false;
    ASSERT_TRUE(late.start(RendererExe, L"/s"));
    ASSERT_TRUE(pumpUntil(5000, [&] { return (sawWindow |= !saverWindows(late.id()).empty()), !late.running(); }));
    EXPECT_EQ(late.exitCode(), 0u);
    EXPECT_FALSE(sawWindow) << "a second saver showed its window";
    DestroyWindow(starting);
    Saver first, second;
    ASSERT_TRUE(first.start(L"") && second.start(L"/s"));
    EXPECT_TRUE(first.endsWithin(EndWithinMs));
    wintest::mouseButton(MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP);
    EXPECT_TRUE(second.endsWithin(EndWithinMs));
}

// Its icon and DPI manifest.
TEST(Renderer, Resources) {
    HMODULE image = LoadLibraryExW(RendererExe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const auto resource = [image](int id, LPCSTR type) {
        HRSRC found = FindResourceA(image, MAKEINTRESOURCEA(id), type);
        return std::string(static_cast<const char*>(LockResource(LoadResource(image, found))), SizeofResource(image, found));
    };
    // A 6-byte header ending in the image count, then 14 bytes per image, width and height first.
    EXPECT_EQ(resource(7002, RT_GROUP_ICON).erase(8, 12), std::string("\0\0\1\0\1\0\x20\x20", 8)) << "one 32x32 image";
    EXPECT_NE(resource(1, RT_MANIFEST).find(">true/pm</dpiAware>"), std::string::npos);
    EXPECT_NE(resource(1, RT_MANIFEST).find(">PerMonitorV2"), std::string::npos);
    FreeLibrary(image);
}

// A copy of the renderer that Wine presents as Windows 98, beside a stand-in PASSWORD.CPL (or none).
struct Windows98Copy {
    const wchar_t* key = L"Software\\Wine\\AppDefaults\\Lumivane.dll";
    wintest::TempDir dir{L"password"};
    Saver saver;
    bool start(const char* library, const wchar_t* args, bool win98 = true) {
        return (!win98 || !RegSetKeyValueW(HKEY_CURRENT_USER, key, L"Version", REG_SZ, L"win98", 12)) && answer("0") &&
               dir.copyIn(RendererExe, L"Lumivane.dll") &&
               (!library || dir.copyIn(wintest::fromUnixPath(library), L"PASSWORD.CPL")) &&
               saver.start(args, {512, 384}, dir.file(L"Lumivane.dll"));
    }
    ~Windows98Copy() { RegDeleteKeyW(HKEY_CURRENT_USER, key); }
    bool answer(const char* text) { return wintest::writeFileBytes(dir.file(L"answer.txt"), text); }
    std::string log() const { return wintest::readFileBytes(dir.file(L"password-log.txt")); }
    bool logs(const std::string& text) { return pumpUntil(3000, [&] { return log() == text; }); }
};

// The first input asks, handing the check the saver window; while its dialog is open a key, a click and a foreign
// close ask nothing more. Refused, it runs on: 4 pixels ask nothing, a click asks again, and the right button asks
// a third time and, answered right, ends it. Without PASSWORD.CPL or its export, or on NT, an input ends it at once.
TEST(Renderer, On9xARefusedPasswordKeepsItRunningAndTheNextInputAsksAgain) {
    const std::string asked = "ask WindowsScreenSaverClass\n";
    Windows98Copy copy;
    ASSERT_TRUE(copy.start(LUMIVANE_VERIFY_CPL, L"/s") && copy.answer("w"));
    EXPECT_EQ(copy.log(), "") << "asked before any input";
    wintest::pressKey(VK_SPACE);
    ASSERT_TRUE(copy.logs(asked));
    wintest::pressKey(VK_SPACE);
    wintest::mouseButton(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    PostMessageW(copy.saver.window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(copy.logs(asked + "dialog closed\n")) << copy.log();
    ASSERT_TRUE(copy.answer("0") && placeCursor(516, 384) && copy.saver.runsAfter(StaysMs));
    wintest::mouseButton(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(copy.logs(asked + "dialog closed\n" + asked)) << copy.log();
    ASSERT_TRUE(copy.answer("1") && copy.saver.runsAfter(StaysMs));
    wintest::mouseButton(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    EXPECT_TRUE(copy.saver.endsWithin(EndWithinMs));
    EXPECT_EQ(copy.log(), asked + "dialog closed\n" + asked + asked);

    for (const auto& [library, win98] : {std::pair<const char*, bool>{nullptr, true}, {LUMIVANE_NO_EXPORT_CPL, true},
                                         {LUMIVANE_VERIFY_CPL, false}}) {
        Windows98Copy copy;
        ASSERT_TRUE(copy.start(library, library ? L"/p 1234" : L"/c", win98));
        library ? wintest::mouseButton(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP) : wintest::pressKey(VK_SPACE);
        EXPECT_TRUE(copy.saver.endsWithin(EndWithinMs)) << (library ? library : "no PASSWORD.CPL");
    }
}

// Pixels of the screen in `r` with their lowest channel at `low` or more, their highest above `high`; all to `rgb`.
int countPixels(const RECT& r, int low, int high, std::string* rgb = nullptr) {
    int count = 0;
    for (const RGBQUAD& p : wintest::screenPixels(r)) {
        count += std::min({p.rgbRed, p.rgbGreen, p.rgbBlue}) >= low && std::max({p.rgbRed, p.rgbGreen, p.rgbBlue}) > high;
        if (rgb) *rgb += {char(p.rgbRed), char(p.rgbGreen), char(p.rgbBlue)};
    }
    return count;
}

// Both monitors at one moment: one grab, so one frame of a window that covers them.
struct Desktop {
    static constexpr int Width = 1824, Height = 768;
    std::vector<RGBQUAD> pixels = wintest::screenPixels({0, 0, Width, Height});
    // The brightest channel of pixel (x, y).
    int at(int x, int y) const {
        const RGBQUAD& p = pixels[static_cast<size_t>(y) * Width + x];
        return std::max({p.rgbRed, p.rgbGreen, p.rgbBlue});
    }
    // Pixels of `r` brighter than `above`.
    int lit(const RECT& r, int above = 40) const {
        int count = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) count += at(x, y) > above;
        return count;
    }
    // Mean brightness of each of 16 x 12 blocks of `r`, row by row: the picture at a scale both monitors share.
    std::vector<double> blocks(const RECT& r) const {
        std::vector<double> means;
        for (int by = 0; by < 12; ++by) {
            for (int bx = 0; bx < 16; ++bx) {
                const int x0 = r.left + (r.right - r.left) * bx / 16, x1 = r.left + (r.right - r.left) * (bx + 1) / 16;
                const int y0 = r.top + (r.bottom - r.top) * by / 12, y1 = r.top + (r.bottom - r.top) * (by + 1) / 12;
                double sum = 0;
                for (int y = y0; y < y1; ++y)
                    for (int x = x0; x < x1; ++x) sum += at(x, y);
                means.push_back(sum / ((x1 - x0) * (y1 - y0)));
            }
        }
        return means;
    }
    // One column's brightness over `rows` rows from the top.
    std::vector<double> column(int x, int rows) const {
        std::vector<double> values;
        for (int y = 0; y < rows; ++y) values.push_back(at(x, y));
        return values;
    }
};

// Pearson's correlation of two series of the same length; 0 where either is flat.
double correlation(const std::vector<double>& a, const std::vector<double>& b) {
    const double n = static_cast<double>(a.size());
    double meanA = 0, meanB = 0;
    for (size_t k = 0; k < a.size(); ++k) meanA += a[k] / n, meanB += b[k] / n;
    double ab = 0, aa = 0, bb = 0;
    for (size_t k = 0; k < a.size(); ++k) {
        ab += (a[k] - meanA) * (b[k] - meanB);
        aa += (a[k] - meanA) * (a[k] - meanA);
        bb += (b[k] - meanB) * (b[k] - meanB);
    }
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0;
}

// Over a white document on the second monitor, one run per choice of screens. The same scene on each: at the
// scale both share, the two pictures match block for block. The primary only: the second stays all black. One
// picture across both: the columns either side of the seam are lit alike, as one projection cut by the seam
// shows a particle on it, where views of their own show unrelated edges. A scene of its own on each: the two
// pictures' blocks do not match; without trails each view is cleared every frame, and the clear stays in its view. The primary's picture keeps changing; with the same scene on each it goes to the
// picture check that the Linux program's passes too. A first move, then one of 5 pixels or of (3, 2) end it.
TEST(Renderer, FourWaysToFillTwoMonitors) {
    const RECT primary{0, 0, 1024, 768}, second{1024, 0, 1824, 600};
    constexpr int Seam = 1024, SeamRows = 600, SeamLitRows = 12;
    const struct { const wchar_t* args; const char* name; } choices[] = {
        {L"", "same on each"}, {L"/screens:primary", "primary only"}, {L"/screens:span", "one across both"},
        {L"/screens:own /scene:1000,10,10,10,0,3,3,0", "own on each, without trails"}};
    for (const auto& choice : choices) {
        SCOPED_TRACE(choice.name);
        const bool same = &choice == &choices[0], primaryOnly = &choice == &choices[1];
        const bool span = &choice == &choices[2], own = &choice == &choices[3];
        HWND document = CreateWindowExW(0, L"EDIT", L"", WS_POPUP | WS_VISIBLE, 1024, 0, 800, 600, 0, 0, 0, 0);
        wintest::pump(300);
        ASSERT_GT(countPixels(second, 250, 0), 100000);
        Saver saver;
        ASSERT_TRUE(saver.start(choice.args, {1461, 323}));
        wintest::pump(5000);  // the picture check's moment, as on Linux
        std::string shot, later;
        EXPECT_GT(countPixels(primary, 0, 40, &shot), 50);
        // Particles with white cores may pass over the second monitor; the document would fill it.
        EXPECT_LT(countPixels(second, 250, 0), 1000) << "the document shows";
        // Each measure waits for the light it needs, then takes one moment's picture.
        Desktop seen;
        // One picture across both: enough rows lit at the seam to compare its columns, and one grab that shows
        // them alike (a grab taken while a frame is being put on screen can cut a particle at the seam).
        const auto seamAlike = [&] {
            int rows = 0;
            for (int y = 0; y < SeamRows; ++y) rows += seen.at(Seam - 1, y) > 40;
            return rows >= SeamLitRows &&
                   correlation(seen.column(Seam - 1, SeamRows), seen.column(Seam, SeamRows)) > 0.8;
        };
        const bool lit = pumpUntil(10000, [&] {
            seen = Desktop{};
            if (primaryOnly) return seen.lit(primary) > 50;
            // Scenes of their own that start alike can match for a moment; they part within seconds.
            return seen.lit(primary) > 500 && seen.lit(second) > 300 && (!span || seamAlike()) &&
                   (!own || correlation(seen.blocks(primary), seen.blocks(second)) < 0.5);
        });
        const double blocks = correlation(seen.blocks(primary), seen.blocks(second));
        const double seam = correlation(seen.column(Seam - 1, SeamRows), seen.column(Seam, SeamRows));
        ASSERT_TRUE(lit) << "primary " << seen.lit(primary) << ", second " << seen.lit(second) << " lit, the seam's"
                         << " columns correlate " << seam;
        std::printf("%s: blocks of the two monitors correlate %.2f, the seam's columns %.2f\n", choice.name, blocks, seam);
        EXPECT_TRUE(!same || blocks > 0.8);
        EXPECT_TRUE(!own || blocks < 0.5);
        if (primaryOnly) {
            // Not one pixel on the second that is not black, again and again while the primary plays.
            for (int k = 0; k < 5; ++k, wintest::pump(200)) EXPECT_EQ(countPixels(second, 0, 0), 0) << k;
        }
        countPixels(primary, 0, 0, &later);
        EXPECT_TRUE(later != shot) << "the picture stands still (" << shot.size() << " bytes the same)";
        EXPECT_TRUE(!same || wintest::writeFileBytes(wintest::fromUnixPath(LUMIVANE_SHOT), shot));
        const bool diagonalMove = (&choice - choices) % 2 == 1;
        EXPECT_TRUE(placeCursor(1462, 323) && placeCursor(diagonalMove ? 1465 : 1467, diagonalMove ? 325 : 323));
        EXPECT_TRUE(saver.endsWithin(EndWithinMs));
        DestroyWindow(document);
    }
}

}  // namespace
