// The label control: text or picture over the parent's background, presses reported to the parent.
#include "shell/controls/label.h"

#include <string>

#include "shell/controls/window_class.h"
#include "shell/system/window_calls.h"

namespace {
constexpr wchar_t LabelClassName[] = L"Glimra.Label";
constexpr char FontProperty[] = "Glimra.Font";
constexpr int LabelPadding = 3;  // pixels between the frame and the text
constexpr COLORREF TextColour = RGB(0, 0, 0);

// Draws the label's picture or text into `target`, which already holds the parent's background.
void paintContent(HWND hwnd, HDC target, RECT r) {
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE));
    if (auto picture = reinterpret_cast<HBITMAP>(GetWindowLongPtrA(hwnd, GWLP_USERDATA))) {
        HDC src = CreateCompatibleDC(target);
        HGDIOBJ old = SelectObject(src, picture);
        BITMAP info = {};
        GetObjectA(picture, sizeof(info), &info);
        BitBlt(target, 0, 0, info.bmWidth, info.bmHeight, src, 0, 0, SRCCOPY);
        SelectObject(src, old);
        DeleteDC(src);
        return;
    }
    const std::wstring text = windowText(hwnd);
    auto font = reinterpret_cast<HFONT>(GetPropA(hwnd, FontProperty));
    HGDIOBJ oldFont = font ? SelectObject(target, font) : nullptr;
    SetBkMode(target, TRANSPARENT);
    SetTextColor(target, TextColour);
    RECT textRect = r;
    UINT format = DT_NOPREFIX | DT_SINGLELINE;
    if (style & LabelBorder) {
        DrawEdge(target, &r, BDR_SUNKENOUTER, BF_RECT);
        InflateRect(&textRect, -LabelPadding, -LabelPadding);
        format |= DT_VCENTER | DT_PATH_ELLIPSIS;
    } else {
        format |= DT_TOP;
    }
    if (style & LabelCentre) format |= DT_CENTER;
    drawText(target, text, textRect, format);
    if (oldFont) SelectObject(target, oldFont);
}

// Composes off screen so a text change does not flicker through the parent's background.
void paintLabel(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bmp = CreateCompatibleBitmap(dc, r.right, r.bottom);
    HDC target = (mem && bmp) ? mem : dc;
    HGDIOBJ oldBmp = (target == mem) ? SelectObject(mem, bmp) : nullptr;
    paintParentBackground(hwnd, target);
    paintContent(hwnd, target, r);
    if (target == mem) {
        BitBlt(dc, 0, 0, r.right, r.bottom, mem, 0, 0, SRCCOPY);
        SelectObject(mem, oldBmp);
    }
    if (bmp) DeleteObject(bmp);
    if (mem) DeleteDC(mem);
    EndPaint(hwnd, &ps);
}

// The label's window procedure.
LRESULT CALLBACK labelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            paintLabel(hwnd);
            return 0;
        case WM_SETFONT:
            SetPropA(hwnd, FontProperty, reinterpret_cast<HANDLE>(wParam));
            if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(GetPropA(hwnd, FontProperty));
        case WM_SETTEXT: {
            const LRESULT r = defaultWindowProcedure(hwnd, msg, wParam, lParam);
            InvalidateRect(hwnd, nullptr, FALSE);
            return r;
        }
        case LabelSetPicture:
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, static_cast<LONG_PTR>(wParam));
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
            SendMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), LabelPressed),
                         reinterpret_cast<LPARAM>(hwnd));
            return 0;
        case WM_NCDESTROY:
            RemovePropA(hwnd, FontProperty);
            break;
        default:
            break;
    }
    return defaultWindowProcedure(hwnd, msg, wParam, lParam);
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
}  // namespace

// Registers the label's window class once per program.
bool registerLabelClass(HINSTANCE instance) {
    return registerClassOnce(instance, LabelClassName, labelProc, CS_DBLCLKS);
}

// Makes a label with its text, place, style and font, as wide as its text unless framed or centred.
HWND createLabel(HWND parent, int id, const wchar_t* text, const RECT& place, DWORD labelStyle, HFONT font) {
    RECT r = place;
    if (!(labelStyle & (LabelBorder | LabelCentre))) r.right = r.left + fittedWidth(text, font, r.right - r.left);
    HWND label = createWindow(0, LabelClassName, text, WS_CHILD | WS_VISIBLE | labelStyle, r.left, r.top,
                              r.right - r.left, r.bottom - r.top, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                              reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)), nullptr);
    if (label) SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return label;
}

// The parent's erase handler paints into the child's DC, shifted so the child sees its own part.
void paintParentBackground(HWND hwnd, HDC dc) {
    HWND parent = GetParent(hwnd);
    POINT origin = {0, 0};
    MapWindowPoints(hwnd, parent, &origin, 1);
    POINT old;
    OffsetWindowOrgEx(dc, origin.x, origin.y, &old);
    SendMessageA(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SetWindowOrgEx(dc, old.x, old.y, nullptr);
}
