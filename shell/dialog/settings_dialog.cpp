// The settings dialog Glimra_P: music source, CD track, music file, screens, frame rate and battery
// saver, saved to the settings file, and the button that opens the Scene dialog.
#include "shell/dialog/settings_dialog.h"

#include <shellapi.h>

#include <string>

#include "common/names.h"
#include "common/window_record.h"
#include "shell/controls/command_button.h"
#include "shell/controls/label.h"
#include "shell/controls/window_class.h"
#include "shell/dialog/dialog_rules.h"
#include "shell/dialog/scene_dialog.h"
#include "shell/settings/settings_file.h"
#include "shell/system/file_calls.h"
#include "shell/system/system_text.h"
#include "shell/system/window_calls.h"
#include "shell/texts/texts.h"

namespace {

constexpr wchar_t PanelClassName[] = L"Glimra.Panel";
constexpr wchar_t JapaneseFontFace[] = L"ＭＳ Ｐゴシック";  // the English dialog uses the system's UI font
constexpr int JapaneseFontCentipoints = 975;    // 9.75 pt, in 1/100 pt
constexpr char AuthorPage[] = "https://lumivane.example/";
constexpr wchar_t FilePattern[] = L"*.MP3;*.WAV";
constexpr int FileBufferChars = MAX_PATH;  // the longest path the system's file functions open, and its NUL
// Longest sleep of the dialog's loop while it has an owner (ms): an owner that goes without a
// word to us (its thread or process ended) is noticed within this time.
constexpr DWORD OwnerWatchIntervalMs = 250;

// Client area and control places, in twips.
constexpr int ClientWidthTw = 7185;
constexpr int ClientHeightTw = 4020;  // the frame-rate row below the buttons' row
struct TwipsRect {
    int left, top, width, height;
};
constexpr TwipsRect PanelPlace{180, 240, 6795, 2535};
constexpr TwipsRect HeadingFramePlace{300, 300, 1695, 315};
constexpr TwipsRect HeadingPlace{300, 360, 1665, 195};
// The three sources by the value stored for them: none, audio CD, file; on screen CD comes first.
constexpr TwipsRect SourceMarkPlaces[3] = {{300, 1140, 195, 195}, {300, 840, 195, 195}, {300, 1440, 195, 195}};
constexpr TwipsRect SourceLabelPlaces[3] = {{540, 1140, 345, 195}, {540, 840, 645, 195}, {540, 1440, 900, 195}};
constexpr TwipsRect TrackBoxPlace{1380, 780, 615, 300};
constexpr TwipsRect TrackLabelPlace{2040, 840, 990, 195};
constexpr TwipsRect FileButtonPlace{540, 1740, 435, 315};
constexpr TwipsRect FileLabelPlace{1020, 1740, 5355, 435};
constexpr TwipsRect MoreWorksButtonPlace{3480, 3000, 1275, 375};  // narrowed for the Scene button
constexpr TwipsRect SaveButtonPlace{4800, 3000, 1095, 375};
constexpr TwipsRect CancelButtonPlace{5940, 3000, 1035, 375};
// The choice of screens and the button that opens the Scene dialog, on the dialog left of the buttons.
constexpr TwipsRect ScreensLabelPlace{180, 3075, 660, 195};
constexpr TwipsRect ScreensBoxPlace{900, 3015, 1560, 300};
constexpr TwipsRect SceneButtonPlace{2520, 3000, 900, 375};
// The frame-rate choice and the battery saver's check box with its text, in a row of their own.
constexpr TwipsRect FrameRateLabelPlace{180, 3555, 960, 195};
constexpr TwipsRect FrameRateBoxPlace{1140, 3495, 2100, 300};
constexpr TwipsRect BatteryBoxPlace{3420, 3555, 195, 195};
constexpr TwipsRect BatteryLabelPlace{3660, 3555, 3315, 195};
constexpr int FrameRateListHeightPx = 80;       // height of the opened list of three, pixels
constexpr unsigned FrameRateTexts[FrameRateChoiceCount] = {TEXT_FRAME_RATE_DISPLAY, TEXT_FRAME_RATE_60,
                                                           TEXT_FRAME_RATE_30};  // in FrameRateChoices order
constexpr int ScreensListHeightPx = 120;        // height of the opened list of four, pixels
constexpr int TrackListHeightPx = 220;          // height of the opened track list, pixels
constexpr int TrackEntries = 31;                // "", "1" ... "30"
constexpr unsigned SourceTexts[3] = {TEXT_SOURCE_NONE, TEXT_SOURCE_CD, TEXT_SOURCE_FILE};

// Child control ids.
enum : int {
    IdPanel = 210,
    IdTrackBox,
    IdFileButton,
    IdSaveButton,
    IdCancelButton,
    IdMoreWorksButton,
    IdFileLabel,
    IdHeading,
    IdTrackLabel,
    IdSourceMark0,   // + source
    IdSourceLabel0 = IdSourceMark0 + 3,
    IdScreensLabel = IdSourceLabel0 + 3,
    IdScreensBox,
    IdSceneButton,
    IdFrameRateLabel,
    IdFrameRateBox,
    IdBatteryBox,
    IdBatteryLabel,
};

// The heading frame's colours.
constexpr COLORREF HeadingFrameOuter = RGB(70, 68, 110);
constexpr COLORREF HeadingFrameInner = RGB(255, 255, 255);

// Everything the open dialog keeps; one per showing.
struct SettingsDialog {
    HINSTANCE instance = nullptr;
    ShellSettings* settings = nullptr;
    HWND owner = nullptr;  // the window the dialog is modal to, or none
    HWND hwnd = nullptr;
    HWND panel = nullptr;
    HWND trackBox = nullptr;
    HWND screensBox = nullptr;   // its entries: the same on each, the primary only, one across all, own on each
    HWND frameRateBox = nullptr; // its entries in FrameRateChoices order
    HWND batteryBox = nullptr;   // checked: the battery saver is on
    HWND fileButton = nullptr;
    HWND saveButton = nullptr;
    HWND cancelButton = nullptr;
    HWND moreWorksButton = nullptr;
    HWND sceneButton = nullptr;
    HWND fileLabel = nullptr;
    HWND sourceMarks[3] = {};
    HFONT font = nullptr;
    HBITMAP radioOff = nullptr;
    HBITMAP radioOn = nullptr;
    CommandPictures buttonPictures;
    POINT zoom = {0, 0};
    bool closed = false;
};

// A place given in twips, in pixels.
RECT pixels(const TwipsRect& r) {
    const int left = twipsToPixels(r.left), top = twipsToPixels(r.top);
    return {left, top, left + twipsToPixels(r.width), top + twipsToPixels(r.height)};
}

// A wide text as UTF-8.
std::string toUtf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

// Fills rows 0..height of a client area with the colours of a gradient rule.
template <typename RowColour>
void paintGradient(HDC dc, int width, int height, RowColour rowColour) {
    const COLORREF oldBk = GetBkColor(dc);
    for (int y = 0; y <= height; ++y) {
        const Rgb c = rowColour(y, static_cast<double>(height));
        SetBkColor(dc, RGB(c.r, c.g, c.b));
        RECT row = {0, y, width, y + 1};
        ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &row, nullptr, 0, nullptr);
    }
    SetBkColor(dc, oldBk);
}

// The music panel: its own grey gradient and the heading frame; passes commands to the dialog.
LRESULT CALLBACK panelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ERASEBKGND: {
            RECT r;
            GetClientRect(hwnd, &r);
            HDC dc = reinterpret_cast<HDC>(wParam);
            paintGradient(dc, r.right, r.bottom, panelRowColour);
            // The heading frame lies on the background, under the heading label.
            RECT frame = pixels(HeadingFramePlace);
            HBRUSH outer = CreateSolidBrush(HeadingFrameOuter);
            HBRUSH inner = CreateSolidBrush(HeadingFrameInner);
            FrameRect(dc, &frame, outer);
            InflateRect(&frame, -1, -1);
            FrameRect(dc, &frame, inner);
            DeleteObject(outer);
            DeleteObject(inner);
            return 1;
        }
        case WM_COMMAND:
            return SendMessageA(GetParent(hwnd), msg, wParam, lParam);
        case WM_LBUTTONDOWN:
            SetFocus(hwnd);
            return 0;
        default:
            break;
    }
    return defaultWindowProcedure(hwnd, msg, wParam, lParam);
}

// Animates the caption between the remembered pointer position and the window, one way or the other.
void zoom(const SettingsDialog& d, bool opening) {
    RECT window;
    GetWindowRect(d.hwnd, &window);
    const RECT point = {d.zoom.x, d.zoom.y, d.zoom.x, d.zoom.y};
    DrawAnimatedRects(d.hwnd, IDANI_CAPTION, opening ? &point : &window, opening ? &window : &point);
}

// Marks the chosen source and enables only the control that belongs to it.
void showChoice(SettingsDialog& d, int source) {
    setCommandEnabled(d.fileButton, false);
    EnableWindow(d.trackBox, FALSE);
    for (HWND mark : d.sourceMarks) SendMessageA(mark, LabelSetPicture, reinterpret_cast<WPARAM>(d.radioOff), 0);
    if (source >= 0 && source < 3) {
        SendMessageA(d.sourceMarks[source], LabelSetPicture, reinterpret_cast<WPARAM>(d.radioOn), 0);
    }
    if (source == MusicSourceCd) EnableWindow(d.trackBox, TRUE);
    if (source == MusicSourceFile) setCommandEnabled(d.fileButton, true);
}

// Makes a music source the chosen one and shows its controls.
void chooseSource(SettingsDialog& d, int source) {
    d.settings->musicSource = static_cast<int16_t>(source);
    showChoice(d, source);
}

// A warning over the dialog: the text of `id`, then the file's path.
void warnOfFile(const SettingsDialog& d, unsigned id, const std::wstring& path) {
    const std::wstring text = shellText(d.instance, id) + path;
    MessageBoxW(d.hwnd, text.c_str(), shellText(d.instance, TEXT_APPLICATION_TITLE).c_str(), MB_OK | MB_ICONEXCLAMATION);
}

// The common open-file dialog; a chosen path goes to the settings in the ANSI code page, or in its short
// form where only that is spelled there. A path that neither spells is refused with a word: stored, it
// would name no file, and the music would never play.
void chooseFile(SettingsDialog& d) {
    // One pair of description and pattern; the text's own terminator ends the list.
    const std::wstring filter = shellText(d.instance, TEXT_FILE_FILTER) + L'\0' + FilePattern + L'\0';
    std::wstring path;
    if (!chooseOpenFile(d.hwnd, d.instance, filter, shellText(d.instance, TEXT_FILE_DIALOG_TITLE), FileBufferChars,
                        path)) {
        return;
    }
    bool lossless = true;
    std::string ansi = toAnsi(path, &lossless);
    if (!lossless) {
        // A name the ANSI code page cannot spell may still have a short name that it can.
        bool shortLossless = true;
        const std::string shortAnsi = toAnsi(shortPathOf(path), &shortLossless);
        if (!shortLossless || shortAnsi.empty()) {
            warnOfFile(d, TEXT_FILE_NAME_UNSTORABLE, path);
            return;
        }
        ansi = shortAnsi;
    }
    d.settings->musicFile = ansi;
    setWindowText(d.fileLabel, fromAnsi(ansi));
}

// Writes the keys; on a failed save the user is told, the file is as it was and the dialog stays open.
bool saveSettings(SettingsDialog& d) {
    const TrackText track = trackFromText(toUtf8(windowText(d.trackBox)));
    d.settings->repeatTrack = track.value;
    const LRESULT screens = SendMessageA(d.screensBox, CB_GETCURSEL, 0, 0);  // the entries in stored order
    d.settings->screens = screens >= ScreensEveryMonitor && screens <= ScreensOwnScenes ? static_cast<int16_t>(screens)
                                                                                         : ScreensEveryMonitor;
    const LRESULT rate = SendMessageA(d.frameRateBox, CB_GETCURSEL, 0, 0);
    d.settings->frameRate = static_cast<int16_t>(rate > 0 && rate < FrameRateChoiceCount ? FrameRateChoices[rate] : 0);
    d.settings->batterySaver = SendMessageA(d.batteryBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
    const std::wstring file = settingsFilePath();
    const bool saved = saveSettingsFile(*d.settings, file);
    if (!saved) warnOfFile(d, TEXT_SAVE_FAILED, file);
    return saved;
}

// Opens the author's page with the system's "open" verb, the hourglass showing meanwhile.
void openAuthorPage(SettingsDialog& d) {
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
    ShellExecuteA(d.hwnd, "open", AuthorPage, "", "", SW_SHOWNORMAL);
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
}

// The owner takes input again; before the dialog goes, so that the system activates the owner.
void releaseOwner(SettingsDialog& d) {
    if (d.owner && IsWindow(d.owner)) EnableWindow(d.owner, TRUE);
}

// The closing zoom, then the window goes.
void closeDialog(SettingsDialog& d) {
    zoom(d, false);
    releaseOwner(d);
    DestroyWindow(d.hwnd);
}

// Carries out a click on a source, a button or a list of the dialog.
void onCommand(SettingsDialog& d, int id, int code) {
    if (id >= IdSourceMark0 && id < IdSourceLabel0 + 3 && code == LabelPressed) {
        chooseSource(d, (id - IdSourceMark0) % 3);
        return;
    }
    // The check box's text is a label of the dialog's own look: a press on it switches the box.
    if (id == IdBatteryLabel && code == LabelPressed) {
        const bool checked = SendMessageA(d.batteryBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
        SendMessageA(d.batteryBox, BM_SETCHECK, checked ? BST_UNCHECKED : BST_CHECKED, 0);
        return;
    }
    if (code != BN_CLICKED) return;
    switch (id) {
        case IdFileButton: chooseFile(d); break;
        case IdSaveButton:
            if (saveSettings(d)) closeDialog(d);
            break;
        // Esc arrives as IDCANCEL and closes like Cancel; Enter arrives as IDOK and is left alone,
        // so that it neither saves nor closes from the track box or anywhere else.
        case IdCancelButton:
        case IDCANCEL: closeDialog(d); break;
        case IdMoreWorksButton: openAuthorPage(d); break;
        case IdSceneButton: showSceneDialog(d.instance, d.hwnd, *d.settings); break;
        default: break;
    }
}

// The dialog's window procedure: gradient, commands, closing.
LRESULT CALLBACK dialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* d = windowRecord<SettingsDialog>(hwnd, msg, lParam);
    if (d == nullptr) return defaultWindowProcedure(hwnd, msg, wParam, lParam);
    switch (msg) {
        case WM_ERASEBKGND: {
            RECT r;
            GetClientRect(hwnd, &r);
            paintGradient(reinterpret_cast<HDC>(wParam), r.right, r.bottom, dialogRowColour);
            return 1;
        }
        case WM_COMMAND:
            onCommand(*d, LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_CLOSE:
            closeDialog(*d);
            return 0;
        case WM_DESTROY:
            d->closed = true;
            return 0;
        default:
            break;
    }
    return defaultWindowProcedure(hwnd, msg, wParam, lParam);
}

// The icon of the dialog at the given size, from the system's icon cache (nothing to free).
HICON dialogIcon(HINSTANCE instance, int size) {
    return static_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCEA(SETTINGS_DIALOG_ICON_ID), IMAGE_ICON, size, size, LR_SHARED));
}

// Registers the dialog's and the panel's classes once, and the controls' classes. The light grey
// stock brush is the dialog's own colour under its gradient.
bool registerClasses(HINSTANCE instance) {
    return registerClassOnce(instance, SettingsDialogClassName, dialogProc, 0,
                             static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)), dialogIcon(instance, 32),
                             dialogIcon(instance, GetSystemMetrics(SM_CXSMICON))) &&
           registerClassOnce(instance, PanelClassName, panelProc) && registerLabelClass(instance) &&
           registerCommandClass(instance);
}

// The labels' and buttons' font. English takes the system's dialog font, whose 8-point line fits the
// 13-pixel labels that were laid out for the Japanese font; a copy, so the dialog frees either alike.
// The system's own face name comes in its own code page and goes back unchanged.
HFONT makeLabelFont(TextLanguage language) {
    if (language != TextLanguage::Japanese) {
        LOGFONTA system = {};
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(system), &system);
        return CreateFontIndirectA(&system);
    }
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(JapaneseFontCentipoints, GetDeviceCaps(screen, LOGPIXELSY), 7200);
    ReleaseDC(nullptr, screen);
    return createFaceFont(height, SHIFTJIS_CHARSET, JapaneseFontFace);
}

// Makes one of the dialog's command buttons with its text from the string table.
HWND makeCommand(SettingsDialog& d, HWND parent, int id, unsigned caption, const TwipsRect& place) {
    return createCommand(parent, id, shellText(d.instance, caption).c_str(), pixels(place), d.font,
                         d.buttonPictures);
}

// Makes a label on the dialog's panel.
HWND makeLabel(SettingsDialog& d, int id, const wchar_t* text, const TwipsRect& place, DWORD labelStyle) {
    return createLabel(d.panel, id, text, pixels(place), labelStyle, d.font);
}

// A label that shows one of the shell's texts.
HWND makeTextLabel(SettingsDialog& d, int id, unsigned text, const TwipsRect& place, DWORD labelStyle) {
    return makeLabel(d, id, shellText(d.instance, text).c_str(), place, labelStyle);
}

// The choice of screens: a label and a list of four on the dialog itself in the order of their
// stored values, the stored choice selected (an unknown value as the first).
void createScreensChoice(SettingsDialog& d) {
    createLabel(d.hwnd, IdScreensLabel, shellText(d.instance, TEXT_SCREENS).c_str(), pixels(ScreensLabelPlace), 0,
                d.font);
    const RECT b = pixels(ScreensBoxPlace);
    d.screensBox = createWindow(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST, b.left,
                                b.top, b.right - b.left, b.bottom - b.top + ScreensListHeightPx, d.hwnd,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdScreensBox)), d.instance, nullptr);
    SendMessageA(d.screensBox, WM_SETFONT, reinterpret_cast<WPARAM>(d.font), FALSE);
    for (unsigned text : {TEXT_SCREENS_EVERY, TEXT_SCREENS_PRIMARY, TEXT_SCREENS_SPAN, TEXT_SCREENS_OWN}) {
        addListEntry(d.screensBox, shellText(d.instance, text));
    }
    const int16_t stored = d.settings->screens;
    SendMessageA(d.screensBox, CB_SETCURSEL, stored >= ScreensEveryMonitor && stored <= ScreensOwnScenes ? stored : 0, 0);
}

// The frame-rate choice, a list of three with the stored choice selected, and the battery saver's
// check box with its text beside it.
void createFrameRateChoice(SettingsDialog& d) {
    createLabel(d.hwnd, IdFrameRateLabel, shellText(d.instance, TEXT_FRAME_RATE).c_str(), pixels(FrameRateLabelPlace),
                0, d.font);
    const RECT b = pixels(FrameRateBoxPlace);
    d.frameRateBox = createWindow(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST, b.left,
                                  b.top, b.right - b.left, b.bottom - b.top + FrameRateListHeightPx, d.hwnd,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdFrameRateBox)), d.instance, nullptr);
    SendMessageA(d.frameRateBox, WM_SETFONT, reinterpret_cast<WPARAM>(d.font), FALSE);
    int chosen = 0;
    for (int k = 0; k < FrameRateChoiceCount; ++k) {
        addListEntry(d.frameRateBox, shellText(d.instance, FrameRateTexts[k]));
        if (FrameRateChoices[k] == nearestFrameRate(d.settings->frameRate)) chosen = k;
    }
    SendMessageA(d.frameRateBox, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
    const RECT c = pixels(BatteryBoxPlace);
    d.batteryBox = createWindow(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, c.left, c.top,
                                c.right - c.left, c.bottom - c.top, d.hwnd,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdBatteryBox)), d.instance, nullptr);
    SendMessageA(d.batteryBox, BM_SETCHECK, d.settings->batterySaver ? BST_CHECKED : BST_UNCHECKED, 0);
    createLabel(d.hwnd, IdBatteryLabel, shellText(d.instance, TEXT_BATTERY_SAVER).c_str(), pixels(BatteryLabelPlace),
                0, d.font);
}

// Creates the controls in tab order: panel (track box, file button), the screens, the Scene button, then
// save, cancel, more works, and the frame-rate row.
void createControls(SettingsDialog& d) {
    const RECT p = pixels(PanelPlace);
    d.panel = createWindow(WS_EX_CONTROLPARENT, PanelClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                           p.left, p.top, p.right - p.left, p.bottom - p.top, d.hwnd,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdPanel)), d.instance, nullptr);
    const RECT c = pixels(TrackBoxPlace);
    // Without horizontal scrolling the narrow box would refuse texts wider than itself, such as "3.5".
    const DWORD trackBoxStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
    d.trackBox = createWindow(0, L"COMBOBOX", L"", trackBoxStyle, c.left, c.top, c.right - c.left,
                              TrackListHeightPx, d.panel,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdTrackBox)), d.instance, nullptr);
    SendMessageA(d.trackBox, WM_SETFONT, reinterpret_cast<WPARAM>(d.font), FALSE);
    d.fileButton = makeCommand(d, d.panel, IdFileButton, TEXT_CHOOSE_FILE, FileButtonPlace);
    d.fileLabel = makeLabel(d, IdFileLabel, L"", FileLabelPlace, LabelBorder);
    makeTextLabel(d, IdHeading, TEXT_MUSIC_HEADING, HeadingPlace, LabelCentre);
    makeTextLabel(d, IdTrackLabel, TEXT_REPEAT_TRACK, TrackLabelPlace, 0);
    for (int i = 0; i < 3; ++i) {
        d.sourceMarks[i] = makeLabel(d, IdSourceMark0 + i, L"", SourceMarkPlaces[i], 0);
        makeTextLabel(d, IdSourceLabel0 + i, SourceTexts[i], SourceLabelPlaces[i], 0);
    }
    createScreensChoice(d);
    d.sceneButton = makeCommand(d, d.hwnd, IdSceneButton, TEXT_SCENE_BUTTON, SceneButtonPlace);
    d.saveButton = makeCommand(d, d.hwnd, IdSaveButton, TEXT_SAVE, SaveButtonPlace);
    d.cancelButton = makeCommand(d, d.hwnd, IdCancelButton, TEXT_CANCEL, CancelButtonPlace);
    d.moreWorksButton = makeCommand(d, d.hwnd, IdMoreWorksButton, TEXT_MORE_WORKS, MoreWorksButtonPlace);
    createFrameRateChoice(d);
}

// Places the window, fills the controls from the settings, remembers the pointer, zooms open.
bool load(SettingsDialog& d) {
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_CONTROLPARENT;
    RECT outer = {0, 0, twipsToPixels(ClientWidthTw), twipsToPixels(ClientHeightTw)};
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    const Point at = dialogPlacement(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), width, height);
    d.hwnd = createWindow(exStyle, SettingsDialogClassName, SettingsDialogTitle, style, at.x, at.y, width, height,
                          d.owner, nullptr, d.instance, &d);
    if (!d.hwnd) return false;
    if (d.owner) EnableWindow(d.owner, FALSE);
    createControls(d);

    for (HWND button : {d.fileButton, d.sceneButton, d.saveButton, d.cancelButton, d.moreWorksButton}) {
        startCommandHover(button);
    }
    showChoice(d, d.settings->musicSource);
    for (int n = 0; n < TrackEntries; ++n) addListEntry(d.trackBox, fromAnsi(trackNumberText(n)));
    // The text goes in after the list so that no list selection can overwrite it.
    setWindowText(d.trackBox, fromAnsi(trackNumberText(d.settings->repeatTrack)));
    setWindowText(d.fileLabel, fromAnsi(d.settings->musicFile));
    if (!GetCursorPos(&d.zoom)) d.zoom = {0, 0};
    zoom(d, true);
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    return true;
}

// A handle that becomes signalled when the owner's process ends, or null where it cannot be had
// (the owner is ours, or its process refuses us); the caller closes it.
HANDLE openOwnerProcess(HWND owner) {
    DWORD processId = 0;
    if (owner) GetWindowThreadProcessId(owner, &processId);
    if (processId == 0 || processId == GetCurrentProcessId()) return nullptr;
    return OpenProcess(SYNCHRONIZE, FALSE, processId);
}

// Runs the dialog's own message loop until it has closed, or its owner has gone. Another process's
// owner does not take its owned windows with it, so it is watched from here.
void runModal(SettingsDialog& d) {
    ShowWindow(d.hwnd, SW_SHOWNORMAL);
    UpdateWindow(d.hwnd);
    SetForegroundWindow(d.hwnd);
    SetFocus(d.panel);
    HANDLE ownerProcess = openOwnerProcess(d.owner);
    const DWORD handleCount = ownerProcess != nullptr ? 1 : 0;
    const DWORD waitMs = d.owner ? OwnerWatchIntervalMs : INFINITE;
    while (handleDialogMessages(d.hwnd, d.closed) && !d.closed) {
        if (d.owner && (!IsWindow(d.owner) || !IsWindow(d.hwnd))) break;
        const DWORD woken = MsgWaitForMultipleObjects(handleCount, &ownerProcess, FALSE, waitMs, QS_ALLINPUT);
        if (handleCount != 0 && woken == WAIT_OBJECT_0) break;
    }
    if (ownerProcess != nullptr) CloseHandle(ownerProcess);
}

}  // namespace

// Everything the dialog made is freed when it has closed, so it can be shown again and again.
void showSettingsDialog(HINSTANCE instance, ShellSettings& settings, HWND owner) {
    if (!registerClasses(instance)) return;
    SettingsDialog dialog;
    dialog.instance = instance;
    dialog.settings = &settings;
    dialog.owner = owner;
    dialog.font = makeLabelFont(shellLanguage());
    dialog.radioOff = static_cast<HBITMAP>(
        LoadImageA(instance, MAKEINTRESOURCEA(RADIO_OFF_ID), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    dialog.radioOn = static_cast<HBITMAP>(
        LoadImageA(instance, MAKEINTRESOURCEA(RADIO_ON_ID), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    loadCommandPictures(instance, dialog.buttonPictures);
    if (load(dialog)) runModal(dialog);
    releaseOwner(dialog);
    if (IsWindow(dialog.hwnd)) DestroyWindow(dialog.hwnd);
    freeCommandPictures(dialog.buttonPictures);
    if (dialog.font) DeleteObject(dialog.font);
    if (dialog.radioOff) DeleteObject(dialog.radioOff);
    if (dialog.radioOn) DeleteObject(dialog.radioOn);
}
