// The Scene dialog Glimra_PS: the preset and colour lists and a labelled slider for each number of the
// scene beside a live picture of it, which takes every change as it comes; OK saves the eight keys.
#include "shell/dialog/scene_dialog.h"

#include <commctrl.h>

#include <ctime>
#include <string>

#include "common/names.h"
#include "common/window_record.h"
#include "renderer/win32/wgl_surface.h"
#include "shell/controls/window_class.h"
#include "shell/dialog/scene_dialog_rules.h"
#include "shell/host/preview_layout.h"
#include "shell/host/scene_picture.h"
#include "shell/settings/settings_file.h"
#include "shell/system/window_calls.h"
#include "shell/texts/texts.h"

namespace {

// The client area and the places of the controls, in pixels.
constexpr int ClientWidth = 560;
constexpr int ClientHeight = 300;
constexpr int Margin = 10;
constexpr RECT PictureFrame{Margin, Margin, Margin + 242, Margin + 182};  // a sunken edge round the picture
constexpr int PictureEdge = 1;            // the frame's edge, inside which the picture lies
constexpr int ListLabelLeft = Margin;
constexpr int ListLabelWidth = 72;
constexpr int ListLeft = 86;
constexpr int ListWidth = 166;
constexpr int ListHeight = 22;            // the closed list
constexpr int ListOpenHeight = 200;       // the opened list
constexpr int PresetListTop = 204;
constexpr int ColourListTop = 234;
constexpr int LabelHeight = 16;
constexpr int LabelDrop = 4;              // a label's top below its list's or slider's, centring its text
constexpr int SliderRowTop = Margin;
constexpr int SliderRowHeight = 32;
constexpr int SliderLabelLeft = 268;
constexpr int SliderLabelWidth = 82;
constexpr int SliderLeft = 350;
constexpr int SliderWidth = 160;
constexpr int SliderHeight = 26;
constexpr int ValueLeft = 512;
constexpr int ValueWidth = 38;
constexpr int ButtonWidth = 80;
constexpr int ButtonHeight = 24;
constexpr int ButtonGap = 10;
constexpr int ButtonTop = ClientHeight - Margin - ButtonHeight;

// The texts of the knobs' labels in knob order, of the palettes and of the preset list's entries.
constexpr unsigned KnobTexts[SceneKnobCount] = {TEXT_KNOB_PARTICLES, TEXT_KNOB_SIZE,     TEXT_KNOB_SPEED,
                                                TEXT_KNOB_CAMERA,    TEXT_KNOB_TRAILS,   TEXT_KNOB_EMITTERS,
                                                TEXT_KNOB_ABSORBERS, TEXT_KNOB_COLOURS};
constexpr unsigned PaletteTexts[PaletteCount] = {TEXT_PALETTE_EVERY_HUE, TEXT_PALETTE_WARM, TEXT_PALETTE_COLD,
                                                 TEXT_PALETTE_GREEN, TEXT_PALETTE_VIOLET};
constexpr unsigned PresetTexts[PresetEntryCount] = {TEXT_PRESET_DEFAULT, TEXT_PRESET_CALM,   TEXT_PRESET_SWARM,
                                                    TEXT_PRESET_EMBERS,  TEXT_PRESET_AURORA, TEXT_PRESET_NEBULA,
                                                    TEXT_PRESET_OWN};

// Child control ids; OK and Cancel take the ids that Enter and Esc send.
enum : int {
    IdPresetList = 300,
    IdColourList,
    IdSlider0,  // + knob
    IdValue0 = IdSlider0 + SceneSliderCount,
};

// Everything the open dialog keeps; one per showing.
struct SceneDialog {
    HINSTANCE instance = nullptr;
    ShellSettings* settings = nullptr;
    HWND owner = nullptr;
    HWND hwnd = nullptr;
    HWND presetList = nullptr;
    HWND colourList = nullptr;
    HWND sliders[SceneSliderCount] = {};
    HWND values[SceneSliderCount] = {};
    HFONT font = nullptr;  // the system's dialog font, a stock object
    SceneChoice choice;
    ScenePicture picture;
    WglSurface* surface = nullptr;
    bool restartPending = false;  // a count changed: the picture starts again before its next frame
    bool closed = false;
};

// The picture's place on the screen: inside the frame's edge.
RECT pictureScreenArea(const SceneDialog& d) {
    POINT origin{PictureFrame.left + PictureEdge, PictureFrame.top + PictureEdge};
    ClientToScreen(d.hwnd, &origin);
    const int width = PictureFrame.right - PictureFrame.left - 2 * PictureEdge;
    const int height = PictureFrame.bottom - PictureFrame.top - 2 * PictureEdge;
    return {origin.x, origin.y, origin.x + width, origin.y + height};
}

// Shows the choice in every control: the sliders, their values, the colour and the preset.
void showChoice(SceneDialog& d) {
    for (int k = 0; k < SceneSliderCount; ++k) {
        const int32_t value = knobValue(d.choice.current, static_cast<SceneKnob>(k));
        SendMessageA(d.sliders[k], TBM_SETPOS, TRUE, value);
        setWindowText(d.values[k], std::to_wstring(value));
    }
    SendMessageA(d.colourList, CB_SETCURSEL, knobValue(d.choice.current, SceneKnob::Colours), 0);
    SendMessageA(d.presetList, CB_SETCURSEL, presetEntry(d.choice), 0);
}

// Hands a change to the picture: at once where the scene reads it frame by frame, with new objects
// before the next frame where a count changed.
void showChange(SceneDialog& d, PictureChange change) {
    if (change == PictureChange::None) return;
    changeScenePicture(d.picture, d.choice.current);
    if (change == PictureChange::Restart) d.restartPending = true;
    showChoice(d);
}

// Writes the eight keys; on a failed save the user is told, the file is as it was and the dialog stays open.
bool saveScene(SceneDialog& d) {
    ShellSettings saved = *d.settings;
    saved.scene = d.choice.current;
    const std::wstring file = settingsFilePath();
    if (saveSettingsFile(saved, file, SavedKeys::Scene)) {
        d.settings->scene = d.choice.current;
        return true;
    }
    const std::wstring text = shellText(d.instance, TEXT_SAVE_FAILED) + file;
    MessageBoxW(d.hwnd, text.c_str(), shellText(d.instance, TEXT_APPLICATION_TITLE).c_str(),
                MB_OK | MB_ICONEXCLAMATION);
    return false;
}

// The owner is enabled again first, so that it takes the activation back when the dialog goes.
void closeDialog(SceneDialog& d) {
    if (d.owner) EnableWindow(d.owner, TRUE);
    DestroyWindow(d.hwnd);
}

// Carries out OK, Cancel (Enter and Esc too) and a choice in either list.
void onCommand(SceneDialog& d, int id, int code) {
    switch (id) {
        case IDOK:
            if (saveScene(d)) closeDialog(d);
            break;
        case IDCANCEL: closeDialog(d); break;
        case IdPresetList:
            if (code == CBN_SELCHANGE) {
                const auto entry = static_cast<int32_t>(SendMessageA(d.presetList, CB_GETCURSEL, 0, 0));
                showChange(d, choosePresetEntry(d.choice, entry));
            }
            break;
        case IdColourList:
            if (code == CBN_SELCHANGE) {
                const auto palette = static_cast<int32_t>(SendMessageA(d.colourList, CB_GETCURSEL, 0, 0));
                showChange(d, setSceneKnob(d.choice, SceneKnob::Colours, palette));
            }
            break;
        default: break;
    }
}

// A slider moved, by the mouse or a key: its knob takes the slider's place.
void onSlider(SceneDialog& d, HWND slider) {
    for (int k = 0; k < SceneSliderCount; ++k) {
        if (slider != d.sliders[k]) continue;
        const auto value = static_cast<int32_t>(SendMessageA(slider, TBM_GETPOS, 0, 0));
        showChange(d, setSceneKnob(d.choice, static_cast<SceneKnob>(k), value));
    }
}

// The dialog's window procedure: commands, sliders, the picture following the dialog, closing.
LRESULT CALLBACK sceneDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* d = windowRecord<SceneDialog>(hwnd, msg, lParam);
    if (d == nullptr) return defaultWindowProcedure(hwnd, msg, wParam, lParam);
    switch (msg) {
        case WM_COMMAND:
            onCommand(*d, LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_HSCROLL:
            onSlider(*d, reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_MOVE:
            moveScenePicture(d->picture, pictureScreenArea(*d));
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) moveScenePicture(d->picture, pictureScreenArea(*d));
            break;
        case WM_CLOSE:
            closeDialog(*d);
            return 0;
        case WM_DESTROY:
            // The picture's context belongs to its window: freed while the window exists.
            closeScenePicture(d->picture);
            d->closed = true;
            return 0;
        default:
            break;
    }
    return defaultWindowProcedure(hwnd, msg, wParam, lParam);
}

// Makes one child control of a system class with the dialog's font.
HWND makeControl(SceneDialog& d, const wchar_t* className, const std::wstring& text, DWORD style, int id, int left,
                 int top, int width, int height, DWORD exStyle = 0) {
    HWND control = createWindow(exStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, left, top, width,
                                height, d.hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), d.instance, nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(d.font), FALSE);
    return control;
}

// A label whose mnemonic leads to the control made after it.
void makeLabel(SceneDialog& d, unsigned text, int left, int top, int width) {
    makeControl(d, L"STATIC", shellText(d.instance, text), 0, -1, left, top, width, LabelHeight);
}

// A list of texts to choose one from, behind its label.
HWND makeList(SceneDialog& d, unsigned label, int id, int top, const unsigned* texts, int count) {
    makeLabel(d, label, ListLabelLeft, top + LabelDrop, ListLabelWidth);
    HWND list = makeControl(d, L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, id, ListLeft, top,
                            ListWidth, ListOpenHeight);
    for (int n = 0; n < count; ++n) addListEntry(list, shellText(d.instance, texts[n]));
    return list;
}

// Creates the controls in tab order: the preset and colour lists, the sliders top to bottom, OK, Cancel.
void createControls(SceneDialog& d) {
    makeControl(d, L"STATIC", L"", 0, -1, PictureFrame.left, PictureFrame.top, PictureFrame.right - PictureFrame.left,
                PictureFrame.bottom - PictureFrame.top, WS_EX_STATICEDGE);
    d.presetList = makeList(d, TEXT_SCENE_PRESET, IdPresetList, PresetListTop, PresetTexts, PresetEntryCount);
    d.colourList = makeList(d, TEXT_KNOB_COLOURS, IdColourList, ColourListTop, PaletteTexts, PaletteCount);
    for (int k = 0; k < SceneSliderCount; ++k) {
        const int top = SliderRowTop + k * SliderRowHeight;
        makeLabel(d, KnobTexts[k], SliderLabelLeft, top + LabelDrop, SliderLabelWidth);
        d.sliders[k] = makeControl(d, TRACKBAR_CLASSW, L"", WS_TABSTOP | TBS_HORZ | TBS_NOTICKS, IdSlider0 + k,
                                   SliderLeft, top, SliderWidth, SliderHeight);
        const SceneKnobInfo& info = SceneKnobs[k];
        const SliderSteps steps = sliderSteps(static_cast<SceneKnob>(k));
        SendMessageA(d.sliders[k], TBM_SETRANGEMIN, FALSE, info.low);
        SendMessageA(d.sliders[k], TBM_SETRANGEMAX, FALSE, info.high);
        SendMessageA(d.sliders[k], TBM_SETLINESIZE, 0, steps.line);
        SendMessageA(d.sliders[k], TBM_SETPAGESIZE, 0, steps.page);
        d.values[k] = makeControl(d, L"STATIC", L"", SS_RIGHT | SS_NOPREFIX, IdValue0 + k, ValueLeft, top + LabelDrop,
                                  ValueWidth, LabelHeight);
    }
    const int cancelLeft = ClientWidth - Margin - ButtonWidth;
    makeControl(d, L"BUTTON", shellText(d.instance, TEXT_OK), WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK,
                cancelLeft - ButtonGap - ButtonWidth, ButtonTop, ButtonWidth, ButtonHeight);
    makeControl(d, L"BUTTON", shellText(d.instance, TEXT_CANCEL), WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL, cancelLeft,
                ButtonTop, ButtonWidth, ButtonHeight);
}

// Creates the window centred over its owner (or the screen) and its controls, hidden.
bool load(SceneDialog& d) {
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME;
    RECT outer = {0, 0, ClientWidth, ClientHeight};
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    RECT over = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (d.owner) GetWindowRect(d.owner, &over);
    int left = (over.left + over.right - width) / 2, top = (over.top + over.bottom - height) / 2;
    if (left < 0) left = 0;
    if (top < 0) top = 0;
    d.hwnd = createWindow(exStyle, SceneDialogClassName, shellText(d.instance, TEXT_SCENE_TITLE).c_str(), style, left,
                          top, width, height, d.owner, nullptr, d.instance, &d);
    if (!d.hwnd) return false;
    createControls(d);
    showChoice(d);
    return true;
}

// Opens the live picture over the frame of the dialog, which is shown by now.
void openPicture(SceneDialog& d) {
    const RECT area = pictureScreenArea(d);
    PicturePlace place;
    place.owner = d.hwnd;
    place.area = area;
    place.imageWidth = area.right - area.left;
    place.imageHeight = area.bottom - area.top;
    // Seeded from the calendar time like every other showing; every restart keeps the seed.
    openScenePicture(d.picture, d.instance, place, *d.surface, d.choice.current,
                     static_cast<uint32_t>(std::time(nullptr)), PreviewFramesPerSecond);
}

// Runs the dialog's own message loop, which draws the picture's frames when they are due, until the
// dialog has closed. A count changed by a dragged slider restarts the picture once for all the
// messages that came meanwhile.
void runModal(SceneDialog& d) {
    if (d.owner) EnableWindow(d.owner, FALSE);
    ShowWindow(d.hwnd, SW_SHOWNORMAL);
    UpdateWindow(d.hwnd);
    SetForegroundWindow(d.hwnd);
    openPicture(d);
    moveScenePicture(d.picture, pictureScreenArea(d));
    SetFocus(d.presetList);
    while (!d.closed) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, msUntilNextPicture(d.picture, timeGetTime()), QS_ALLINPUT);
        if (!handleDialogMessages(d.hwnd, d.closed)) break;
        if (d.closed) break;
        if (d.restartPending) {
            d.restartPending = false;
            restartScenePicture(d.picture, d.choice.current);
            showScenePicture(d.picture);
        }
        drawDuePicture(d.picture, timeGetTime());
    }
}

}  // namespace

// The dialog's live picture draws on its window's own WGL surface.
void showSceneDialog(HINSTANCE instance, HWND owner, ShellSettings& settings) {
    WglSurface surface;
    showSceneDialogOn(instance, owner, settings, surface);
}

// The trackbar class comes from the common controls, registered here before the first slider.
void showSceneDialogOn(HINSTANCE instance, HWND owner, ShellSettings& settings, WglSurface& surface) {
    InitCommonControls();
    const auto face = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    if (!registerClassOnce(instance, SceneDialogClassName, sceneDialogProc, 0, face)) return;
    SceneDialog dialog;
    dialog.instance = instance;
    dialog.settings = &settings;
    dialog.owner = owner;
    dialog.surface = &surface;
    dialog.font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    dialog.choice = openSceneChoice(settings.scene);
    if (load(dialog)) runModal(dialog);
    if (IsWindow(dialog.hwnd)) {
        if (owner) EnableWindow(owner, TRUE);
        DestroyWindow(dialog.hwnd);
    }
    closeScenePicture(dialog.picture);
}
