// The settings dialog Glimra_P: music source, CD track and music file, saved to the settings file.
#include "shell/dialog/settings_dialog.h"

#include <commdlg.h>
#include <shellapi.h>

#include <string>

#include "shell/controls/command_button.h"
#include "shell/dialog/dialog_resources.h"
#include "shell/dialog/dialog_rules.h"
#include "shell/startup/settings.h"
#include "shell/startup/settings_file.h"

namespace {

using lumivane::twipsToPixels;

constexpr wchar_t kDialogClass[] = L"Glimra_P";
constexpr wchar_t kPanelClass[] = L"Glimra.Panel";
constexpr wchar_t kLabelClass[] = L"Glimra.Label";
constexpr wchar_t kTitle[] = L"<Lumivane>";
constexpr wchar_t kMessageTitle[] = L"Lumivane (ScreenSaver)";
constexpr wchar_t kSaveFailedText[] = L"設定を保存できませんでした。\n次のファイルに書き込めません:\n";
constexpr wchar_t kFontFace[] = L"ＭＳ Ｐゴシック";
constexpr int kFontDecipoints = 975;            // 9.75 pt, in 1/100 pt
constexpr char kAuthorPage[] = "https://lumivane.example/";
constexpr wchar_t kFileFilter[] = L"BGMﾌｧｲﾙ (MP3 WAV)\0*.MP3;*.WAV\0";
constexpr wchar_t kFileDialogTitle[] = L"ﾌｧｲﾙを開く";
constexpr int kFileBufferChars = 255;

// Client area and control places, in twips.
constexpr int kClientWidthTw = 7185;
constexpr int kClientHeightTw = 3780;
struct TwipsRect {
    int left, top, width, height;
};
constexpr TwipsRect kPicC{180, 240, 6795, 2535};
constexpr TwipsRect kShape3{300, 300, 1695, 315};
constexpr TwipsRect kLblHeading{300, 360, 1665, 195};
constexpr TwipsRect kImgBgm[3] = {{300, 1140, 195, 195}, {300, 840, 195, 195}, {300, 1440, 195, 195}};
constexpr TwipsRect kLblBgm[3] = {{540, 1140, 345, 195}, {540, 840, 645, 195}, {540, 1440, 900, 195}};
constexpr TwipsRect kBgmRepeat{1380, 780, 615, 300};
constexpr TwipsRect kLblRepeat{2040, 840, 990, 195};
constexpr TwipsRect kCmdBgm{540, 1740, 435, 315};
constexpr TwipsRect kLblFname{1020, 1740, 5355, 435};
constexpr TwipsRect kCmdEtc{2880, 3000, 1875, 375};
constexpr TwipsRect kCmdSet{4800, 3000, 1095, 375};
constexpr TwipsRect kCmdCan{5940, 3000, 1035, 375};
constexpr int kComboListPx = 220;               // height of the opened track list, pixels
constexpr int kTrackEntries = 31;               // "", "1" ... "30"
constexpr wchar_t kChoiceTexts[3][8] = {L"無し", L"音楽CD", L"MP3、WAV"};

// Child control ids.
enum : int {
    IdPanel = 210,
    IdBgmRepeat,
    IdCmdBgm,
    IdCmdSet,
    IdCmdCan,
    IdCmdEtc,
    IdLblFname,
    IdHeading,
    IdLblRepeat,
    IdImgBgm0,   // + index
    IdLblBgm0 = IdImgBgm0 + 3,
};

// Label window: style bits of its own, a picture instead of text, a press notification.
constexpr DWORD kLabelCentre = 0x0001;
constexpr DWORD kLabelBorder = 0x0002;
constexpr UINT kLabelSetPicture = WM_APP + 1;   // wParam: HBITMAP or null
constexpr WORD kLabelPressed = 1;               // WM_COMMAND notification code
constexpr int kLabelPadding = 3;                // pixels between border and text

// Shape3's frame colours.
constexpr COLORREF kHeadingFrame = RGB(70, 68, 110);
constexpr COLORREF kHeadingInner = RGB(255, 255, 255);

// Everything the open dialog keeps; one per showing.
struct SettingsDialog {
    HINSTANCE instance = nullptr;
    ShellSettings* settings = nullptr;
    HWND hwnd = nullptr;
    HWND panel = nullptr;
    HWND combo = nullptr;
    HWND cmdBgm = nullptr;
    HWND cmdSet = nullptr;
    HWND cmdCan = nullptr;
    HWND cmdEtc = nullptr;
    HWND lblFname = nullptr;
    HWND imgBgm[3] = {};
    HFONT font = nullptr;
    HBITMAP radioOff = nullptr;
    HBITMAP radioOn = nullptr;
    POINT zoom = {0, 0};
    bool closed = false;
};

SettingsDialog* g_dialog = nullptr;

RECT pixels(const TwipsRect& r) {
    int left = twipsToPixels(r.left), top = twipsToPixels(r.top);
    return {left, top, left + twipsToPixels(r.width), top + twipsToPixels(r.height)};
}

std::wstring fromAnsi(const std::string& text) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
}

// Converts to the ANSI code page; `lossless` tells whether every character survived.
std::string toAnsi(const std::wstring& text, bool* lossless = nullptr) {
    if (lossless) *lossless = true;
    if (text.empty()) return {};
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                &usedDefault);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) {
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr,
                            &usedDefault);
    }
    if (lossless) *lossless = n > 0 && !usedDefault;
    return out;
}

std::string toUtf8(const std::wstring& text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

std::wstring windowText(HWND hwnd) {
    int n = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(n > 0 ? n : 0) + 1, L'\0');
    n = GetWindowTextW(hwnd, &text[0], static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(n > 0 ? n : 0));
    return text;
}

// Fills rows 0..height of a client area with the colours of a gradient rule.
template <typename RowColour>
void paintGradient(HDC dc, int width, int height, RowColour rowColour) {
    COLORREF oldBk = GetBkColor(dc);
    for (int y = 0; y <= height; ++y) {
        lumivane::Rgb c = rowColour(y, static_cast<double>(height));
        SetBkColor(dc, RGB(c.r, c.g, c.b));
        RECT row = {0, y, width, y + 1};
        ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &row, nullptr, 0, nullptr);
    }
    SetBkColor(dc, oldBk);
}

// ---- Label: text or picture over the parent's gradient; any mouse button press is reported ----

LRESULT CALLBACK labelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            RECT r;
            GetClientRect(hwnd, &r);
            // Compose off screen so a text change does not flicker through the gradient.
            HDC mem = CreateCompatibleDC(dc);
            HBITMAP bmp = CreateCompatibleBitmap(dc, r.right, r.bottom);
            HDC target = (mem && bmp) ? mem : dc;
            HGDIOBJ oldBmp = (target == mem) ? SelectObject(mem, bmp) : nullptr;
            paintParentBackground(hwnd, target);
            DWORD style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
            auto picture = reinterpret_cast<HBITMAP>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
            if (picture) {
                HDC src = CreateCompatibleDC(target);
                HGDIOBJ old = SelectObject(src, picture);
                BITMAP info = {};
                GetObjectW(picture, sizeof(info), &info);
                BitBlt(target, 0, 0, info.bmWidth, info.bmHeight, src, 0, 0, SRCCOPY);
                SelectObject(src, old);
                DeleteDC(src);
            } else {
                std::wstring text = windowText(hwnd);
                auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
                HGDIOBJ oldFont = font ? SelectObject(target, font) : nullptr;
                SetBkMode(target, TRANSPARENT);
                SetTextColor(target, RGB(0, 0, 0));
                RECT textRect = r;
                UINT format = DT_NOPREFIX;
                if (style & kLabelBorder) {
                    DrawEdge(target, &r, BDR_SUNKENOUTER, BF_RECT);
                    InflateRect(&textRect, -kLabelPadding, -kLabelPadding);
                    format |= DT_SINGLELINE | DT_VCENTER | DT_PATH_ELLIPSIS;
                } else {
                    format |= DT_SINGLELINE | DT_TOP;
                }
                if (style & kLabelCentre) format |= DT_CENTER;
                DrawTextW(target, text.c_str(), static_cast<int>(text.size()), &textRect, format);
                if (oldFont) SelectObject(target, oldFont);
            }
            if (target == mem) {
                BitBlt(dc, 0, 0, r.right, r.bottom, mem, 0, 0, SRCCOPY);
                SelectObject(mem, oldBmp);
            }
            if (bmp) DeleteObject(bmp);
            if (mem) DeleteDC(mem);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_SETFONT:
            SetPropW(hwnd, L"Glimra.Font", reinterpret_cast<HANDLE>(wParam));
            if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(GetPropW(hwnd, L"Glimra.Font"));
        case WM_SETTEXT: {
            LRESULT r = DefWindowProcW(hwnd, msg, wParam, lParam);
            InvalidateRect(hwnd, nullptr, FALSE);
            return r;
        }
        case kLabelSetPicture:
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, static_cast<LONG_PTR>(wParam));
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
            SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), kLabelPressed),
                         reinterpret_cast<LPARAM>(hwnd));
            return 0;
        case WM_NCDESTROY:
            RemovePropW(hwnd, L"Glimra.Font");
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// A label's width grows to its text when the font draws wider than the place allows.
int fittedWidth(const wchar_t* text, HFONT font, int width) {
    if (!text || !*text || !font) return width;
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font);
    SIZE extent = {0, 0};
    GetTextExtentPoint32W(screen, text, lstrlenW(text), &extent);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    return extent.cx + 1 > width ? extent.cx + 1 : width;
}

HWND makeLabel(HWND parent, int id, const wchar_t* text, const TwipsRect& place, DWORD labelStyle, HFONT font) {
    RECT r = pixels(place);
    if (!(labelStyle & (kLabelBorder | kLabelCentre))) r.right = r.left + fittedWidth(text, font, r.right - r.left);
    HWND label = CreateWindowExW(0, kLabelClass, text, WS_CHILD | WS_VISIBLE | labelStyle, r.left, r.top,
                                 r.right - r.left, r.bottom - r.top, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
    if (label) SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return label;
}

// ---- Panel Pic_C: its own grey gradient and the heading frame; passes commands to the dialog ----

LRESULT CALLBACK panelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ERASEBKGND: {
            RECT r;
            GetClientRect(hwnd, &r);
            paintGradient(reinterpret_cast<HDC>(wParam), r.right, r.bottom, lumivane::panelRowColour);
            // The heading frame lies on the background, under the heading label.
            RECT frame = pixels(kShape3);
            HDC dc = reinterpret_cast<HDC>(wParam);
            HBRUSH outer = CreateSolidBrush(kHeadingFrame);
            HBRUSH inner = CreateSolidBrush(kHeadingInner);
            FrameRect(dc, &frame, outer);
            InflateRect(&frame, -1, -1);
            FrameRect(dc, &frame, inner);
            DeleteObject(outer);
            DeleteObject(inner);
            return 1;
        }
        case WM_COMMAND:
            return SendMessageW(GetParent(hwnd), msg, wParam, lParam);
        case WM_LBUTTONDOWN:
            SetFocus(hwnd);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// ---- Dialog ----

void Zoom_Open(const SettingsDialog& d) {
    RECT to;
    GetWindowRect(d.hwnd, &to);
    RECT from = {d.zoom.x, d.zoom.y, d.zoom.x, d.zoom.y};
    DrawAnimatedRects(d.hwnd, IDANI_CAPTION, &from, &to);
}

void Zoom_Close(const SettingsDialog& d) {
    RECT from;
    GetWindowRect(d.hwnd, &from);
    RECT to = {d.zoom.x, d.zoom.y, d.zoom.x, d.zoom.y};
    DrawAnimatedRects(d.hwnd, IDANI_CAPTION, &from, &to);
}

// Marks the chosen source and enables only the control that belongs to it.
void showChoice(SettingsDialog& d, int kind) {
    Command_SetEnabled(d.cmdBgm, false);
    EnableWindow(d.combo, FALSE);
    for (HWND img : d.imgBgm) SendMessageW(img, kLabelSetPicture, reinterpret_cast<WPARAM>(d.radioOff), 0);
    if (kind >= 0 && kind < 3) {
        SendMessageW(d.imgBgm[kind], kLabelSetPicture, reinterpret_cast<WPARAM>(d.radioOn), 0);
    }
    if (kind == BgmKindCd) EnableWindow(d.combo, TRUE);
    if (kind == BgmKindFile) Command_SetEnabled(d.cmdBgm, true);
}

void chooseSource(SettingsDialog& d, int kind) {
    d.settings->BGM_Kind = static_cast<int16_t>(kind);
    showChoice(d, kind);
}

// Cmd_BGM: the common open-file dialog; a chosen path goes to BGM_File in the ANSI code page.
void chooseFile(SettingsDialog& d) {
    wchar_t file[kFileBufferChars] = {};
    wchar_t title[kFileBufferChars] = {};
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = d.hwnd;
    ofn.hInstance = d.instance;
    ofn.lpstrFilter = kFileFilter;
    ofn.lpstrFile = file;
    ofn.nMaxFile = kFileBufferChars;
    ofn.lpstrFileTitle = title;
    ofn.nMaxFileTitle = kFileBufferChars;
    ofn.lpstrTitle = kFileDialogTitle;
    ofn.Flags = 0;
    if (GetOpenFileNameW(&ofn) <= 0) return;
    std::wstring path(file);
    bool lossless = true;
    std::string ansi = toAnsi(path, &lossless);
    if (!lossless) {
        // A name the ANSI code page cannot spell may still have a short name that it can.
        wchar_t shortPath[MAX_PATH] = {};
        DWORD n = GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
        if (n > 0 && n < MAX_PATH) {
            bool shortLossless = true;
            std::string shortAnsi = toAnsi(shortPath, &shortLossless);
            if (shortLossless) ansi = shortAnsi;
        }
    }
    d.settings->BGM_File = ansi;
    SetWindowTextW(d.lblFname, fromAnsi(ansi).c_str());
}

// Cmd_Set: writes the three keys; on a failed write the user is told and the dialog stays open.
bool saveSettings(SettingsDialog& d) {
    const std::string file = settingsFilePath();
    bool ok = Ini_WriteString(IniSection, IniKeyKind, formatSettingNumber(d.settings->BGM_Kind), file);
    lumivane::TrackText track = lumivane::trackFromText(toUtf8(windowText(d.combo)));
    d.settings->BGM_RepeatTrack = track.value;
    ok = ok && Ini_WriteString(IniSection, IniKeyRepeat, formatSettingNumber(track.value), file);
    ok = ok && Ini_WriteString(IniSection, IniKeyFile, d.settings->BGM_File, file);
    if (!ok) {
        std::wstring text = kSaveFailedText + fromAnsi(file);
        MessageBoxW(d.hwnd, text.c_str(), kMessageTitle, MB_OK | MB_ICONEXCLAMATION);
    }
    return ok;
}

void openAuthorPage(SettingsDialog& d) {
    SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
    ShellExecuteA(d.hwnd, "open", kAuthorPage, "", "", SW_SHOWNORMAL);
    SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
}

// Form_Unload: the closing zoom, then the window goes.
void unload(SettingsDialog& d) {
    Zoom_Close(d);
    DestroyWindow(d.hwnd);
}

void onCommand(SettingsDialog& d, int id, int code) {
    if (id >= IdImgBgm0 && id < IdLblBgm0 + 3 && code == kLabelPressed) {
        chooseSource(d, (id - IdImgBgm0) % 3);
        return;
    }
    if (code != BN_CLICKED) return;
    switch (id) {
        case IdCmdBgm: chooseFile(d); break;
        case IdCmdSet:
            if (saveSettings(d)) unload(d);
            break;
        case IdCmdCan: unload(d); break;
        case IdCmdEtc: openAuthorPage(d); break;
        default: break;
    }
}

LRESULT CALLBACK dialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    SettingsDialog* d = g_dialog;
    switch (msg) {
        case WM_ERASEBKGND: {
            RECT r;
            GetClientRect(hwnd, &r);
            paintGradient(reinterpret_cast<HDC>(wParam), r.right, r.bottom, lumivane::dialogRowColour);
            return 1;
        }
        case WM_COMMAND:
            if (d && d->hwnd == hwnd) onCommand(*d, LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_CLOSE:
            if (d && d->hwnd == hwnd) unload(*d);
            return 0;
        case WM_DESTROY:
            if (d && d->hwnd == hwnd) d->closed = true;
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

bool registerClasses(HINSTANCE instance) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));

    wc.lpfnWndProc = dialogProc;
    wc.lpszClassName = kDialogClass;
    wc.hbrBackground = CreateSolidBrush(RGB(192, 192, 192));
    wc.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_SETTINGS_DIALOG), IMAGE_ICON, 32, 32, 0));
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_SETTINGS_DIALOG), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    bool ok = RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;

    wc.hIcon = nullptr;
    wc.hIconSm = nullptr;
    wc.hbrBackground = nullptr;
    wc.lpfnWndProc = panelProc;
    wc.lpszClassName = kPanelClass;
    ok = (RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS) && ok;

    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = labelProc;
    wc.lpszClassName = kLabelClass;
    ok = (RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS) && ok;
    return registerCommandClass(instance) && ok;
}

HFONT makeLabelFont() {
    HDC screen = GetDC(nullptr);
    int height = -MulDiv(kFontDecipoints, GetDeviceCaps(screen, LOGPIXELSY), 7200);
    ReleaseDC(nullptr, screen);
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, kFontFace);
}

HWND makeCommand(HWND parent, int id, const wchar_t* caption, const TwipsRect& place, HFONT font) {
    RECT r = pixels(place);
    return createCommand(parent, id, caption, r.left, r.top, r.right - r.left, r.bottom - r.top, font);
}

// Creates the controls in tab order: panel (track box, file button), then Set, Cancel, Etc.
void createControls(SettingsDialog& d) {
    RECT p = pixels(kPicC);
    d.panel = CreateWindowExW(WS_EX_CONTROLPARENT, kPanelClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                              p.left, p.top, p.right - p.left, p.bottom - p.top, d.hwnd,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdPanel)), d.instance, nullptr);
    RECT c = pixels(kBgmRepeat);
    // Without horizontal scrolling the narrow box would refuse texts wider than itself, such as "3.5".
    const DWORD comboStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
    d.combo = CreateWindowExW(0, L"COMBOBOX", L"", comboStyle,
                              c.left, c.top, c.right - c.left, kComboListPx, d.panel,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdBgmRepeat)), d.instance, nullptr);
    SendMessageW(d.combo, WM_SETFONT, reinterpret_cast<WPARAM>(d.font), FALSE);
    d.cmdBgm = makeCommand(d.panel, IdCmdBgm, L"...", kCmdBgm, d.font);
    d.lblFname = makeLabel(d.panel, IdLblFname, L"", kLblFname, kLabelBorder, d.font);
    makeLabel(d.panel, IdHeading, L"BGM", kLblHeading, kLabelCentre, d.font);
    makeLabel(d.panel, IdLblRepeat, L"曲目をﾘﾋﾟｰﾄ", kLblRepeat, 0, d.font);
    for (int i = 0; i < 3; ++i) {
        d.imgBgm[i] = makeLabel(d.panel, IdImgBgm0 + i, L"", kImgBgm[i], 0, d.font);
        makeLabel(d.panel, IdLblBgm0 + i, kChoiceTexts[i], kLblBgm[i], 0, d.font);
    }
    d.cmdSet = makeCommand(d.hwnd, IdCmdSet, L"設定", kCmdSet, d.font);
    d.cmdCan = makeCommand(d.hwnd, IdCmdCan, L"ｷｬﾝｾﾙ", kCmdCan, d.font);
    d.cmdEtc = makeCommand(d.hwnd, IdCmdEtc, L"その他の作品", kCmdEtc, d.font);
}

// Form_Load: place the window, fill the controls from the settings, remember the pointer, zoom open.
bool load(SettingsDialog& d) {
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_CONTROLPARENT;
    RECT outer = {0, 0, twipsToPixels(kClientWidthTw), twipsToPixels(kClientHeightTw)};
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    lumivane::Point at = lumivane::dialogPlacement(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                                   width, height);
    d.hwnd = CreateWindowExW(exStyle, kDialogClass, kTitle, style, at.x, at.y, width, height, nullptr, nullptr,
                             d.instance, nullptr);
    if (!d.hwnd) return false;
    createControls(d);

    for (HWND button : {d.cmdBgm, d.cmdSet, d.cmdCan, d.cmdEtc}) Command_Initialize(button);
    showChoice(d, d.settings->BGM_Kind);
    for (int n = 0; n < kTrackEntries; ++n) {
        SendMessageW(d.combo, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(fromAnsi(lumivane::formatHashHash(n)).c_str()));
    }
    // The text goes in after the list so that no list selection can overwrite it.
    SetWindowTextW(d.combo, fromAnsi(lumivane::formatHashHash(d.settings->BGM_RepeatTrack)).c_str());
    SetWindowTextW(d.lblFname, fromAnsi(d.settings->BGM_File).c_str());
    if (!GetCursorPos(&d.zoom)) d.zoom = {0, 0};
    Zoom_Open(d);
    SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
    return true;
}

}  // namespace

void showSettingsDialog(HINSTANCE instance) {
    SettingsDialog dialog;
    dialog.instance = instance;
    dialog.settings = &g_settings;
    g_dialog = &dialog;
    if (!registerClasses(instance)) {
        g_dialog = nullptr;
        return;
    }
    dialog.font = makeLabelFont();
    dialog.radioOff = static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(IDB_RADIO_OFF), IMAGE_BITMAP, 0, 0,
                                                      LR_CREATEDIBSECTION));
    dialog.radioOn = static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(IDB_RADIO_ON), IMAGE_BITMAP, 0, 0,
                                                     LR_CREATEDIBSECTION));
    if (load(dialog)) {
        ShowWindow(dialog.hwnd, SW_SHOWNORMAL);
        UpdateWindow(dialog.hwnd);
        SetForegroundWindow(dialog.hwnd);
        SetFocus(dialog.panel);
        MSG msg;
        while (!dialog.closed) {
            BOOL got = GetMessageW(&msg, nullptr, 0, 0);
            if (got == 0) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            if (got < 0) break;
            if (IsWindow(dialog.hwnd) && IsDialogMessageW(dialog.hwnd, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    g_dialog = nullptr;
    if (dialog.font) DeleteObject(dialog.font);
    if (dialog.radioOff) DeleteObject(dialog.radioOff);
    if (dialog.radioOn) DeleteObject(dialog.radioOn);
}
