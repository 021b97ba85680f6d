#include "shell/controls/command_button.h"

#include <string>

#include "shell/controls/command_properties.h"
#include "shell/controls/command_state.h"
#include "shell/controls/controls_resources.h"

namespace {

constexpr wchar_t kClassName[] = L"Glimra.Command";
constexpr UINT_PTR kMouseTimer = 1;
constexpr UINT kMouseTimerMs = 100;        // hover polling interval
constexpr int kPictureWidth = 64;          // pixels, state picture
constexpr int kPictureHeight = 25;
constexpr int kFrame = 4;                  // pixels of the picture's frame that are used
constexpr int kCaptionLift = 1;            // pixels the caption sits above the exact centre (20 twips)
constexpr COLORREF kFaceWhite = RGB(255, 255, 255);
constexpr COLORREF kFaceLavender = RGB(0xC6, 0xC5, 0xD7);

using lumivane::CommandMouseButton;
using lumivane::CommandPicture;
using lumivane::CommandReaction;
using lumivane::CommandState;

// The six state pictures, shared by every button; index = CommandPicture - 1.
HBITMAP g_pictures[6] = {};

// Everything one button keeps.
struct CommandWindow {
    CommandState state;
    HWND hwnd = nullptr;
    HFONT font = nullptr;
    COLORREF fontColour = 0;
    bool opaque = true;
    bool captionEnabled = true;
    HDC surfaceDc = nullptr;       // retained drawing surface of the face and frame
    HBITMAP surface = nullptr;
    HGDIOBJ surfaceOld = nullptr;
    int width = 0;
    int height = 0;
};

CommandWindow* fromWindow(HWND hwnd) {
    return reinterpret_cast<CommandWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// Vertical face gradient; the top row takes vertex 0's colour, the bottom row vertex 1's.
void paintFace(CommandWindow& w, bool highlight) {
    COLORREF top = highlight ? kFaceLavender : kFaceWhite;
    COLORREF bottom = highlight ? kFaceWhite : kFaceLavender;
    TRIVERTEX v[2] = {};
    v[0].x = 0;
    v[0].y = 0;
    v[0].Red = static_cast<COLOR16>(GetRValue(top) << 8);
    v[0].Green = static_cast<COLOR16>(GetGValue(top) << 8);
    v[0].Blue = static_cast<COLOR16>(GetBValue(top) << 8);
    v[1].x = w.width - 1;
    v[1].y = w.height - 1;
    v[1].Red = static_cast<COLOR16>(GetRValue(bottom) << 8);
    v[1].Green = static_cast<COLOR16>(GetGValue(bottom) << 8);
    v[1].Blue = static_cast<COLOR16>(GetBValue(bottom) << 8);
    GRADIENT_RECT rect = {1, 0};
    GradientFill(w.surfaceDc, v, 2, &rect, 1, GRADIENT_FILL_RECT_V);
}

// Copies the eight frame pieces of a state picture; its centre is never used.
void paintFrame(CommandWindow& w, HBITMAP picture) {
    HDC src = CreateCompatibleDC(w.surfaceDc);
    if (!src) return;
    HGDIOBJ old = SelectObject(src, picture);
    const int W = w.width, H = w.height, f = kFrame;
    const int midW = kPictureWidth - 2 * f, midH = kPictureHeight - 2 * f;
    struct Piece { int dx, dy, dw, dh, sx, sy, sw, sh; };
    const Piece pieces[] = {
        {0, 0, f, f, 0, 0, f, f},                                        // top-left corner
        {f, 0, W - 2 * f, f, f, 0, midW, f},                             // top edge
        {W - f, 0, f, f, kPictureWidth - f, 0, f, f},                    // top-right corner
        {W - f, f, f, H - 2 * f, kPictureWidth - f, f, f, midH},         // right edge
        {W - f, H - f, f, f, kPictureWidth - f, kPictureHeight - f, f, f},  // bottom-right corner
        {f, H - f, W - 2 * f, f, f, kPictureHeight - f, midW, f},        // bottom edge
        {0, H - f, f, f, 0, kPictureHeight - f, f, f},                   // bottom-left corner
        {0, f, f, H - 2 * f, 0, f, f, midH},                             // left edge
    };
    SetStretchBltMode(w.surfaceDc, COLORONCOLOR);
    for (const Piece& p : pieces) {
        if (p.dw <= 0 || p.dh <= 0) continue;
        StretchBlt(w.surfaceDc, p.dx, p.dy, p.dw, p.dh, src, p.sx, p.sy, p.sw, p.sh, SRCCOPY);
    }
    SelectObject(src, old);
    DeleteDC(src);
}

// Draws the whole button from one state picture into its surface and shows it.
void paintState(CommandWindow& w, CommandPicture picture) {
    if (picture == CommandPicture::None) return;
    bool highlight = w.state.beginPaint();
    if (!w.surfaceDc) return;
    RECT all = {0, 0, w.width, w.height};
    FillRect(w.surfaceDc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    paintFace(w, highlight);
    HBITMAP bitmap = g_pictures[static_cast<int>(picture) - 1];
    if (bitmap) paintFrame(w, bitmap);
    InvalidateRect(w.hwnd, nullptr, FALSE);
}

void refreshLook(CommandWindow& w) {
    if (!w.state.enabled()) return;
    w.captionEnabled = true;
    if (w.state.firstRun() == 0) w.fontColour = 0;
    paintState(w, CommandPicture::Normal);
}

void applyEnabled(CommandWindow& w) {
    w.captionEnabled = w.state.enabled();
    paintState(w, w.state.applyEnabled());
}

void makeSurface(CommandWindow& w, int width, int height) {
    if (w.surfaceDc) {
        SelectObject(w.surfaceDc, w.surfaceOld);
        DeleteObject(w.surface);
        DeleteDC(w.surfaceDc);
        w.surfaceDc = nullptr;
    }
    w.width = width;
    w.height = height;
    if (width <= 0 || height <= 0) return;
    HDC screen = GetDC(w.hwnd);
    w.surfaceDc = CreateCompatibleDC(screen);
    w.surface = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(w.hwnd, screen);
    if (!w.surfaceDc || !w.surface) {
        if (w.surfaceDc) DeleteDC(w.surfaceDc);
        if (w.surface) DeleteObject(w.surface);
        w.surfaceDc = nullptr;
        w.surface = nullptr;
        return;
    }
    w.surfaceOld = SelectObject(w.surfaceDc, w.surface);
}

// The caption label: centred, no background, embossed grey while disabled.
void paintCaption(CommandWindow& w, HDC dc) {
    wchar_t text[256];
    int length = GetWindowTextW(w.hwnd, text, 256);
    if (length <= 0) return;
    HGDIOBJ oldFont = w.font ? SelectObject(dc, w.font) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    SIZE extent = {0, 0};
    GetTextExtentPoint32W(dc, text, length, &extent);
    int top = (w.height - extent.cy) / 2 - kCaptionLift;
    RECT r = {0, top, w.width, top + extent.cy};
    const UINT format = DT_CENTER | DT_SINGLELINE | DT_NOPREFIX | DT_TOP;
    if (w.captionEnabled) {
        SetTextColor(dc, w.fontColour);
        DrawTextW(dc, text, length, &r, format);
    } else {
        RECT shadow = {r.left + 1, r.top + 1, r.right + 1, r.bottom + 1};
        SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
        DrawTextW(dc, text, length, &shadow, format);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        DrawTextW(dc, text, length, &r, format);
    }
    if (oldFont) SelectObject(dc, oldFont);
}

// Paints the pictures a reaction asks for; returns whether it asks for Click.
bool carryOut(CommandWindow& w, const CommandReaction& r) {
    paintState(w, r.paint);
    if (r.startTimer) SetTimer(w.hwnd, kMouseTimer, kMouseTimerMs, nullptr);
    return r.click;
}

void raiseClick(HWND hwnd) {
    HWND parent = GetParent(hwnd);
    int id = GetDlgCtrlID(hwnd);
    // The parent may close the whole dialog here; nothing of this window is used afterwards.
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(hwnd));
}

void onButtonUp(HWND hwnd, CommandWindow& w, CommandMouseButton button, WPARAM keys) {
    if (!(keys & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) && GetCapture() == hwnd) ReleaseCapture();
    if (carryOut(w, w.state.mouseUp(button))) raiseClick(hwnd);
}

LRESULT CALLBACK commandProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CommandWindow* w = fromWindow(hwnd);
    if (!w && msg != WM_NCCREATE) return DefWindowProcW(hwnd, msg, wParam, lParam);
    switch (msg) {
        case WM_NCCREATE: {
            auto* created = new CommandWindow;
            created->hwnd = hwnd;
            // No form designer stores the properties: every button starts from the defaults.
            lumivane::CommandProperties props = lumivane::readCommandProperties({});
            created->state.setEnabled(props.enabled);
            created->state.setFirstRun(props.firstRun);
            created->fontColour = props.fontColour;
            created->opaque = props.backStyle != 0;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
            LRESULT ok = DefWindowProcW(hwnd, msg, wParam, lParam);
            auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
            if (ok && !(cs->lpszName && *cs->lpszName)) {
                std::wstring caption(props.caption.begin(), props.caption.end());
                SetWindowTextW(hwnd, caption.c_str());
            }
            return ok;
        }
        case WM_CREATE: {
            auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
            makeSurface(*w, cs->cx, cs->cy);
            refreshLook(*w);
            return 0;
        }
        case WM_SIZE:
            makeSurface(*w, LOWORD(lParam), HIWORD(lParam));
            applyEnabled(*w);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            if (w->opaque && w->surfaceDc) {
                BitBlt(dc, 0, 0, w->width, w->height, w->surfaceDc, 0, 0, SRCCOPY);
            } else {
                paintParentBackground(hwnd, dc);
            }
            paintCaption(*w, dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_SETTEXT: {
            LRESULT r = DefWindowProcW(hwnd, msg, wParam, lParam);
            InvalidateRect(hwnd, nullptr, FALSE);
            return r;
        }
        case WM_SETFONT:
            w->font = reinterpret_cast<HFONT>(wParam);
            if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(w->font);
        case WM_ENABLE:
            w->state.setEnabled(wParam != 0);
            applyEnabled(*w);
            return 0;
        case WM_TIMER:
            if (wParam == kMouseTimer) {
                POINT p;
                if (GetCursorPos(&p)) carryOut(*w, w->state.timerTick(WindowFromPoint(p) == hwnd));
            }
            return 0;
        case WM_MOUSEMOVE:
            carryOut(*w, w->state.mouseMove());
            return 0;
        case WM_SETFOCUS:
            carryOut(*w, w->state.gotFocus());
            return 0;
        case WM_KILLFOCUS:
            carryOut(*w, w->state.lostFocus());
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (GetFocus() != hwnd) SetFocus(hwnd);
            SetCapture(hwnd);
            carryOut(*w, w->state.mouseDown(CommandMouseButton::Left));
            return 0;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            SetCapture(hwnd);
            carryOut(*w, w->state.mouseDown(msg == WM_MBUTTONDOWN || msg == WM_MBUTTONDBLCLK
                                                ? CommandMouseButton::Middle
                                                : CommandMouseButton::Right));
            return 0;
        case WM_LBUTTONUP:
            onButtonUp(hwnd, *w, CommandMouseButton::Left, wParam);
            return 0;
        case WM_RBUTTONUP:
            onButtonUp(hwnd, *w, CommandMouseButton::Right, wParam);
            return 0;
        case WM_MBUTTONUP:
            onButtonUp(hwnd, *w, CommandMouseButton::Middle, wParam);
            return 0;
        case WM_NCDESTROY:
            KillTimer(hwnd, kMouseTimer);
            makeSurface(*w, 0, 0);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            delete w;
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

// Has the parent paint what lies under a child that shows it through: its erase handler draws it.
void paintParentBackground(HWND hwnd, HDC dc) {
    HWND parent = GetParent(hwnd);
    POINT origin = {0, 0};
    MapWindowPoints(hwnd, parent, &origin, 1);
    POINT old;
    OffsetWindowOrgEx(dc, origin.x, origin.y, &old);
    SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SetWindowOrgEx(dc, old.x, old.y, nullptr);
}


bool registerCommandClass(HINSTANCE instance) {
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(instance, kClassName, &existing)) return true;
    const int ids[6] = {IDB_COMMAND_NORMAL, IDB_COMMAND_HIGHLIGHT, IDB_COMMAND_SELECTED,
                        IDB_COMMAND_HIGHLIGHTSELECT, IDB_COMMAND_PRESSED, IDB_COMMAND_DISABLE};
    for (int i = 0; i < 6; ++i) {
        if (!g_pictures[i]) {
            g_pictures[i] = static_cast<HBITMAP>(
                LoadImageW(instance, MAKEINTRESOURCEW(ids[i]), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        }
    }
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = commandProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0;
}

HWND createCommand(HWND parent, int id, const wchar_t* caption, int x, int y, int width, int height,
                   HFONT font) {
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    HWND button = CreateWindowExW(0, kClassName, caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP, x, y, width,
                                  height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                                  nullptr);
    if (button && font) SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return button;
}

void Command_Initialize(HWND button) {
    if (CommandWindow* w = fromWindow(button)) carryOut(*w, w->state.initialize());
}

void Command_SetEnabled(HWND button, bool enabled) {
    // WM_ENABLE carries the change to the state and the look; the window also leaves the tab order.
    EnableWindow(button, enabled ? TRUE : FALSE);
}

bool Command_GetEnabled(HWND button) {
    CommandWindow* w = fromWindow(button);
    if (!w) return false;
    bool refresh = false;
    bool enabled = w->state.readEnabled(refresh);
    if (refresh) refreshLook(*w);
    applyEnabled(*w);
    return enabled;
}

void Command_SetVisible(HWND button, uint8_t visible) {
    CommandWindow* w = fromWindow(button);
    if (!w) return;
    w->opaque = visible != 0;
    if (w->opaque) refreshLook(*w);
    InvalidateRect(button, nullptr, FALSE);
}

uint8_t Command_GetVisible(HWND button) {
    CommandWindow* w = fromWindow(button);
    if (!w || !w->opaque) return 0;
    refreshLook(*w);
    return 255;
}

void Command_SetFontColour(HWND button, COLORREF colour) {
    CommandWindow* w = fromWindow(button);
    if (!w) return;
    w->fontColour = colour;
    refreshLook(*w);
}

COLORREF Command_GetFontColour(HWND button) {
    CommandWindow* w = fromWindow(button);
    if (!w) return 0;
    refreshLook(*w);
    return w->fontColour;
}
