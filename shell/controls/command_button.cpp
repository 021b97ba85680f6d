// The push button window: carries out what its state table decides.
#include "shell/controls/command_button.h"

#include "common/names.h"
#include "shell/controls/command_state.h"
#include "shell/controls/window_class.h"
#include "shell/system/window_calls.h"

namespace {

constexpr UINT_PTR HoverTimer = 1;
constexpr UINT HoverTimerMs = 100;          // hover polling interval
constexpr int PictureWidth = 64;            // pixels, state picture
constexpr int PictureHeight = 25;
constexpr int FrameWidth = 4;               // pixels of the picture's frame that are used
constexpr int CaptionLift = 1;              // pixels the caption sits above the exact centre (20 twips)
constexpr int CaptionChars = 256;
constexpr COLORREF FaceWhite = RGB(255, 255, 255);
constexpr COLORREF FaceLavender = RGB(0xC6, 0xC5, 0xD7);
constexpr COLORREF CaptionColour = RGB(0, 0, 0);
constexpr wchar_t DefaultCaption[] = L"Command1";  // a button made without a caption shows this

// Everything one button keeps.
struct CommandWindow {
    CommandState state;
    HWND hwnd = nullptr;
    HFONT font = nullptr;
    const CommandPictures* pictures = nullptr;
    HDC surfaceDc = nullptr;       // retained drawing surface of the face and frame
    HBITMAP surface = nullptr;
    HGDIOBJ surfaceOld = nullptr;
    int width = 0;
    int height = 0;
};

// The record a command button keeps in its window.
CommandWindow* fromWindow(HWND hwnd) {
    return reinterpret_cast<CommandWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

// A colour as a gradient vertex wants it: 8-bit values in the high byte of 16-bit components.
void setVertexColour(TRIVERTEX& vertex, COLORREF colour) {
    vertex.Red = static_cast<COLOR16>(GetRValue(colour) << 8);
    vertex.Green = static_cast<COLOR16>(GetGValue(colour) << 8);
    vertex.Blue = static_cast<COLOR16>(GetBValue(colour) << 8);
}

// Vertical face gradient; the top row takes vertex 0's colour, the bottom row vertex 1's.
void paintFace(CommandWindow& w, bool highlight) {
    TRIVERTEX v[2] = {};
    v[1].x = w.width - 1;
    v[1].y = w.height - 1;
    setVertexColour(v[0], highlight ? FaceLavender : FaceWhite);
    setVertexColour(v[1], highlight ? FaceWhite : FaceLavender);
    GRADIENT_RECT rect = {1, 0};
    GradientFill(w.surfaceDc, v, 2, &rect, 1, GRADIENT_FILL_RECT_V);
}

// Copies the eight frame pieces of a state picture; its centre is never used.
void paintFrame(CommandWindow& w, HBITMAP picture) {
    HDC src = CreateCompatibleDC(w.surfaceDc);
    if (!src) return;
    HGDIOBJ old = SelectObject(src, picture);
    const int W = w.width, H = w.height, f = FrameWidth;
    const int midW = PictureWidth - 2 * f, midH = PictureHeight - 2 * f;
    struct Piece { int dx, dy, dw, dh, sx, sy, sw, sh; };
    const Piece pieces[] = {
        {0, 0, f, f, 0, 0, f, f},                                          // top-left corner
        {f, 0, W - 2 * f, f, f, 0, midW, f},                               // top edge
        {W - f, 0, f, f, PictureWidth - f, 0, f, f},                       // top-right corner
        {W - f, f, f, H - 2 * f, PictureWidth - f, f, f, midH},            // right edge
        {W - f, H - f, f, f, PictureWidth - f, PictureHeight - f, f, f},   // bottom-right corner
        {f, H - f, W - 2 * f, f, f, PictureHeight - f, midW, f},           // bottom edge
        {0, H - f, f, f, 0, PictureHeight - f, f, f},                      // bottom-left corner
        {0, f, f, H - 2 * f, 0, f, f, midH},                               // left edge
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
    const bool highlight = w.state.beginPaint();
    if (!w.surfaceDc) return;
    RECT all = {0, 0, w.width, w.height};
    FillRect(w.surfaceDc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    paintFace(w, highlight);
    if (HBITMAP bitmap = w.pictures->pictures[static_cast<int>(picture) - 1]) paintFrame(w, bitmap);
    InvalidateRect(w.hwnd, nullptr, FALSE);
}

// Repaints from the picture of the enabled state (a resize, or Enabled written).
void applyEnabled(CommandWindow& w) { paintState(w, w.state.applyEnabled()); }

// Frees the old surface and makes one of the new size.
void makeSurface(CommandWindow& w, int width, int height) {
    if (w.surfaceDc) {
        SelectObject(w.surfaceDc, w.surfaceOld);
        DeleteObject(w.surface);
        DeleteDC(w.surfaceDc);
        w.surfaceDc = nullptr;
        w.surface = nullptr;
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

// The caption: centred, no background, embossed grey while disabled.
void paintCaption(CommandWindow& w, HDC dc) {
    const std::wstring text = windowText(w.hwnd).substr(0, CaptionChars - 1);
    const int length = static_cast<int>(text.size());
    if (length <= 0) return;
    HGDIOBJ oldFont = w.font ? SelectObject(dc, w.font) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    SIZE extent = {0, 0};
    GetTextExtentPoint32W(dc, text.c_str(), length, &extent);
    const int top = (w.height - extent.cy) / 2 - CaptionLift;
    RECT r = {0, top, w.width, top + extent.cy};
    const UINT format = DT_CENTER | DT_SINGLELINE | DT_NOPREFIX | DT_TOP;
    if (w.state.enabled()) {
        SetTextColor(dc, CaptionColour);
        drawText(dc, text, r, format);
    } else {
        RECT shadow = {r.left + 1, r.top + 1, r.right + 1, r.bottom + 1};
        SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
        drawText(dc, text, shadow, format);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        drawText(dc, text, r, format);
    }
    if (oldFont) SelectObject(dc, oldFont);
}

// Paints the picture a reaction asks for; returns whether it asks for Click.
bool carryOut(CommandWindow& w, const CommandReaction& r) {
    paintState(w, r.paint);
    if (r.startTimer) SetTimer(w.hwnd, HoverTimer, HoverTimerMs, nullptr);
    return r.click;
}

// Tells the parent that the button was clicked, as a standard button does.
void raiseClick(HWND hwnd) {
    HWND parent = GetParent(hwnd);
    const int id = GetDlgCtrlID(hwnd);
    // The parent may close the whole dialog here; nothing of this window is used afterwards.
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(hwnd));
}

// A button release: the capture ends with the last button up, and the state table decides the click.
void onButtonUp(HWND hwnd, CommandWindow& w, CommandMouseButton button, WPARAM keys) {
    if (!(keys & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) && GetCapture() == hwnd) ReleaseCapture();
    if (carryOut(w, w.state.mouseUp(button))) raiseClick(hwnd);
}

// The button's window procedure: every event goes through the state table.
LRESULT CALLBACK commandProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CommandWindow* w = fromWindow(hwnd);
    if (!w && msg != WM_NCCREATE) return defaultWindowProcedure(hwnd, msg, wParam, lParam);
    switch (msg) {
        case WM_NCCREATE: {
            // The fields read here have the same place in the wide and the ANSI structure.
            const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
            auto* created = new CommandWindow;
            created->hwnd = hwnd;
            created->pictures = static_cast<const CommandPictures*>(cs->lpCreateParams);
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
            const LRESULT ok = defaultWindowProcedure(hwnd, msg, wParam, lParam);
            if (ok && windowText(hwnd).empty()) setWindowText(hwnd, DefaultCaption);
            return ok;
        }
        case WM_CREATE: {
            const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
            makeSurface(*w, cs->cx, cs->cy);
            paintState(*w, CommandPicture::Normal);
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
            if (w->surfaceDc) BitBlt(dc, 0, 0, w->width, w->height, w->surfaceDc, 0, 0, SRCCOPY);
            paintCaption(*w, dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_SETTEXT: {
            const LRESULT r = defaultWindowProcedure(hwnd, msg, wParam, lParam);
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
            if (wParam == HoverTimer) {
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
            KillTimer(hwnd, HoverTimer);
            makeSurface(*w, 0, 0);
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            delete w;
            return 0;
        default:
            break;
    }
    return defaultWindowProcedure(hwnd, msg, wParam, lParam);
}

}  // namespace

// The pictures follow CommandPicture's order: Normal, HighLight, Selected, HighLightSelect, Pressed, Disable.
bool loadCommandPictures(HINSTANCE instance, CommandPictures& pictures) {
    bool complete = true;
    for (int i = 0; i < 6; ++i) {
        pictures.pictures[i] = static_cast<HBITMAP>(LoadImageA(
            instance, MAKEINTRESOURCEA(COMMAND_PICTURE_FIRST_ID + i), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        complete = complete && pictures.pictures[i] != nullptr;
    }
    return complete;
}

// Frees the button pictures and forgets them.
void freeCommandPictures(CommandPictures& pictures) {
    for (HBITMAP& picture : pictures.pictures) {
        if (picture) DeleteObject(picture);
        picture = nullptr;
    }
}

// Registers the command button's window class once per program.
bool registerCommandClass(HINSTANCE instance) {
    return registerClassOnce(instance, CommandClassName, commandProc, CS_DBLCLKS);
}

// Makes a command button with its caption, place, font and pictures.
HWND createCommand(HWND parent, int id, const wchar_t* caption, const RECT& place, HFONT font,
                   const CommandPictures& pictures) {
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
    HWND button = createWindow(0, CommandClassName, caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP, place.left,
                               place.top, place.right - place.left, place.bottom - place.top, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                               const_cast<CommandPictures*>(&pictures));
    if (button && font) SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return button;
}

// Starts the button's hover watch, as its first paint does.
void startCommandHover(HWND button) {
    if (CommandWindow* w = fromWindow(button)) carryOut(*w, w->state.initialize());
}

// WM_ENABLE carries the change to the state and the look; the window also leaves the tab order.
void setCommandEnabled(HWND button, bool enabled) { EnableWindow(button, enabled ? TRUE : FALSE); }
