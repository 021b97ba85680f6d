// The scene in a window of its own (Glimra_R, "Preview Window"): the renderer's scene run drawn with
// the renderer's own scene and drawing code, or the still where OpenGL cannot be set up.
#include "shell/host/scene_picture.h"

#include "common/names.h"
#include "common/window_record.h"
#include "renderer/win32/wgl_surface.h"
#include "shell/system/window_calls.h"

namespace {

// Starts the scene run on the picture's window. False where OpenGL cannot be set up.
bool startAnimation(ScenePicture& picture) {
    RECT client{};
    GetClientRect(picture.window, &client);
    picture.view = SceneView{0, 0, client.right, client.bottom};
    picture.surface->window = picture.window;
    picture.animating = startSceneRun(picture.run, *picture.surface, client.right, client.bottom, picture.seed);
    return picture.animating;
}

// Frees the scene and the OpenGL objects; safe to call twice, and after the window was destroyed
// behind our back.
void stopAnimation(ScenePicture& picture) {
    picture.animating = false;
    stopSceneRun(picture.run);
}

// Loads the still and notes its own size.
void loadStill(ScenePicture& picture) {
    if (picture.still) return;
    picture.still = static_cast<HBITMAP>(LoadImageA(picture.instance, MAKEINTRESOURCEA(PREVIEW_STILL_ID),
                                                    IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    BITMAP info{};
    if (picture.still && GetObjectA(picture.still, sizeof info, &info)) {
        picture.stillWidth = info.bmWidth;
        picture.stillHeight = info.bmHeight;
    }
}

// Draws the still over the whole image area.
void paintStill(const ScenePicture& picture, HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    const int width = picture.place.imageWidth, height = picture.place.imageHeight;
    if (picture.still) {
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, picture.still);
        if (width == picture.stillWidth && height == picture.stillHeight) {
            BitBlt(dc, 0, 0, picture.stillWidth, picture.stillHeight, source, 0, 0, SRCCOPY);
        } else {
            SetStretchBltMode(dc, HALFTONE);
            SetBrushOrgEx(dc, 0, 0, nullptr);
            StretchBlt(dc, 0, 0, width, height, source, 0, 0, picture.stillWidth, picture.stillHeight, SRCCOPY);
        }
        SelectObject(source, old);
        DeleteDC(source);
    }
    EndPaint(window, &ps);
}

// The picture's window procedure: paint the still (the animation repaints itself with its next
// frame), never take the activation from the window that owns it, end with the window.
LRESULT CALLBACK pictureProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* picture = windowRecord<ScenePicture>(window, message, lParam);
    if (picture == nullptr) return defaultWindowProcedure(window, message, wParam, lParam);
    switch (message) {
    case WM_ERASEBKGND:
        // Erasing under the animation would flash black between frames.
        if (picture->animating) return 1;
        break;
    case WM_PAINT:
        if (picture->animating) {
            ValidateRect(window, nullptr);
        } else {
            paintStill(*picture, window);
        }
        return 0;
    case WM_MOUSEACTIVATE:
        // A click on an owned picture leaves the dialog under it active.
        if (picture->place.parent == nullptr) return MA_NOACTIVATE;
        break;
    case WM_DESTROY:
        // The context belongs to this window's device context: free it while the window exists.
        stopAnimation(*picture);
        picture->destroyed = true;
        return 0;
    default:
        break;
    }
    return defaultWindowProcedure(window, message, wParam, lParam);
}

// Creates the picture's window, hidden, in its place; false when it cannot be made.
bool createPictureWindow(ScenePicture& picture) {
    const PicturePlace& place = picture.place;
    const RECT& a = place.area;
    picture.destroyed = false;
    if (place.parent == nullptr) {
        picture.window = createWindow(0, PreviewClassName, PreviewTitle, WS_POPUP, a.left, a.top, a.right - a.left,
                                      a.bottom - a.top, place.owner, nullptr, picture.instance, &picture);
        return picture.window != nullptr;
    }
    picture.window = createWindow(0, PreviewClassName, PreviewTitle, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  picture.instance, &picture);
    if (!picture.window) return false;
    SetWindowLongA(picture.window, GWL_STYLE, GetWindowLongA(picture.window, GWL_STYLE) | WS_CHILD);
    SetParent(picture.window, place.parent);
    MoveWindow(picture.window, a.left, a.top, a.right - a.left, a.bottom - a.top, FALSE);
    return true;
}

// Starts the animation, or shows the still. A window that took a pixel format may show nothing drawn
// with GDI (so under Wine): the still then gets a fresh window. False when no window could be made.
bool animateOrShowStill(ScenePicture& picture) {
    if (startAnimation(picture)) return true;
    if (picture.surface->pixelFormat != 0) {
        const bool shown = IsWindowVisible(picture.window) != 0;
        DestroyWindow(picture.window);
        picture.window = nullptr;
        if (!createPictureWindow(picture)) return false;
        if (shown) showScenePicture(picture);
    }
    loadStill(picture);
    InvalidateRect(picture.window, nullptr, TRUE);
    return true;
}

}  // namespace

// The class is registered once per process; a second registration fails harmlessly.
bool openScenePicture(ScenePicture& picture, HINSTANCE instance, const PicturePlace& place, WglSurface& surface,
                      const SceneSettings& settings, uint32_t seed, uint32_t framesPerSecond) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_OWNDC;  // the OpenGL context binds to the window's own device context
    windowClass.lpfnWndProc = pictureProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = PreviewClassName;
    registerWindowClass(windowClass);

    picture.instance = instance;
    picture.place = place;
    picture.surface = &surface;
    picture.seed = seed;
    picture.deadlines = FrameDeadlines{};
    picture.deadlines.framesPerSecond = framesPerSecond;
    picture.run.scenes[0].settings = withinRanges(settings);
    // OpenGL is set up once the window stands at its final size in its place. An owned window shows
    // first: Wine never shows OpenGL drawing in a window that was hidden at its set-up.
    if (!createPictureWindow(picture)) return false;
    if (place.parent == nullptr) showScenePicture(picture);
    return animateOrShowStill(picture);
}

// Shown without activation: the host's own window keeps the focus.
void showScenePicture(const ScenePicture& picture) {
    if (!picture.window) return;
    ShowWindow(picture.window, SW_SHOWNA);
    UpdateWindow(picture.window);
}

// The still never needs a frame.
DWORD msUntilNextPicture(const ScenePicture& picture, DWORD nowMs) {
    return picture.animating ? picture.deadlines.msUntilNextFrame(nowMs) : INFINITE;
}

// Advances the scene by the time since the last frame, draws and presents it.
void drawDuePicture(ScenePicture& picture, DWORD nowMs) {
    if (!picture.animating || picture.destroyed || picture.deadlines.msUntilNextFrame(nowMs) != 0) return;
    stepSceneRun(picture.run, nowMs, &picture.view, 1);
    picture.deadlines.frameDrawn(nowMs);
}

// The counts stay as the objects were made: every operation reads the lengths of the scene's vectors.
void changeScenePicture(ScenePicture& picture, const SceneSettings& settings) {
    const SceneSettings held = withinRanges(settings);
    SceneSettings& running = picture.run.scenes[0].settings;
    const SceneSettings counts = running;
    running = held;
    running.ParticleCount = counts.ParticleCount;
    running.EmitterCount = counts.EmitterCount;
    running.AbsorberCount = counts.AbsorberCount;
}

// The same seed as before, so that the new counts are seen on the same scene from its start.
void restartScenePicture(ScenePicture& picture, const SceneSettings& settings) {
    if (!picture.window || picture.destroyed) return;
    stopAnimation(picture);
    picture.run.scenes[0].settings = withinRanges(settings);
    picture.deadlines = FrameDeadlines{picture.deadlines.framesPerSecond};
    animateOrShowStill(picture);
}

// The view follows at once; the still is painted again at the new size.
void resizeScenePicture(ScenePicture& picture, int width, int height) {
    if (!picture.window || (width == picture.place.imageWidth && height == picture.place.imageHeight)) return;
    picture.place.imageWidth = width;
    picture.place.imageHeight = height;
    picture.place.area.right = picture.place.area.left + width;
    picture.place.area.bottom = picture.place.area.top + height;
    picture.view = SceneView{0, 0, width, height};
    MoveWindow(picture.window, picture.place.area.left, picture.place.area.top, width, height, TRUE);
    if (!picture.animating) InvalidateRect(picture.window, nullptr, TRUE);
}

// Only an owned picture stands on the screen by itself; a child moves with its parent. Put on top
// again, as a system without a window manager (Wine on a bare X server) may have raised the owner over it.
void moveScenePicture(ScenePicture& picture, const RECT& screenArea) {
    if (picture.place.parent != nullptr || !picture.window) return;
    picture.place.area = screenArea;
    SetWindowPos(picture.window, HWND_TOP, screenArea.left, screenArea.top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

// The window goes first, while its device context still holds the context it frees.
void closeScenePicture(ScenePicture& picture) {
    if (picture.window && IsWindow(picture.window) && !picture.destroyed) DestroyWindow(picture.window);
    picture.window = nullptr;
    stopAnimation(picture);
    if (picture.still) DeleteObject(picture.still);
    picture.still = nullptr;
}
