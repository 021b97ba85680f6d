// The renderer's drawing run natively on X11 (GLX, Mesa), to profile it where the tools work: under
// callgrind with LP_NUM_THREADS=0 the rasterizer runs on this thread, and the instruction counts of
// a frame repeat exactly from run to run, whatever else the machine does. Not a test: it prints figures.
//   frame_profile batched|per-sprite [frames] [drawn warm-up frames] [seconds of the camera path first]
// Only the measured frames are counted when run with valgrind --tool=callgrind --collect-atstart=no
// --toggle-collect='*measuredFrames*'.
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/bench_scene.h"
#include "bench/earlier_drawing.h"
#include "renderer/draw/scene_drawing.h"

namespace {
constexpr int DefaultFrames = 100;
// Frames drawn before measuring, so that the driver has compiled its shaders.
constexpr int DefaultDrawnWarmUp = 5;

// The GLX buffer swap.
struct GlxPresenter : Presenter {
    Display* display = nullptr;
    Window window = 0;
    // Shows the frame just drawn.
    void present() override { glXSwapBuffers(display, window); }
};

// Processor time of this process, all threads (milliseconds).
double processCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

// The frames that are measured, apart so that callgrind can count them alone.
__attribute__((noinline)) void measuredFrames(SceneDrawing& drawing, Scene& scene, GlxPresenter& presenter,
                                              bool twoPassSwap, const SceneView& view, int frames) {
    for (int k = 0; k < frames; ++k) renderFrame(drawing, scene, MeasuredDt, twoPassSwap, presenter, &view, 1);
    glFinish();
}
}  // namespace

// Profiles the drawing's frame on the Linux program's surface for the given frames.
int main(int argc, char** argv) {
    const bool perSprite = argc > 1 && std::strcmp(argv[1], "per-sprite") == 0;
    const int frames = argc > 2 ? std::atoi(argv[2]) : DefaultFrames;
    const int drawnWarmUp = argc > 3 ? std::atoi(argv[3]) : DefaultDrawnWarmUp;
    const float pathSeconds = argc > 4 ? static_cast<float>(std::atof(argv[4])) : 0.0f;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    // The earlier drawing ran with a depth buffer, the renderer's runs without (as the pixel-format rule chooses).
    int withDepth[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8,
                       GLX_DEPTH_SIZE, 24, None};
    int withoutDepth[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8, None};
    XVisualInfo* visual = glXChooseVisual(display, DefaultScreen(display), perSprite ? withDepth : withoutDepth);
    if (visual == nullptr) {
        std::fprintf(stderr, "no GLX visual\n");
        return 1;
    }
    const int width = DisplayWidth(display, DefaultScreen(display));
    const int height = DisplayHeight(display, DefaultScreen(display));
    XSetWindowAttributes attributes{};
    attributes.colormap = XCreateColormap(display, RootWindow(display, visual->screen), visual->visual, AllocNone);
    GlxPresenter presenter;
    presenter.display = display;
    presenter.window = XCreateWindow(display, RootWindow(display, visual->screen), 0, 0, width, height, 0,
                                     visual->depth, InputOutput, visual->visual, CWColormap, &attributes);
    XMapWindow(display, presenter.window);
    XSync(display, False);
    GLXContext context = glXCreateContext(display, visual, nullptr, True);
    glXMakeCurrent(display, presenter.window, context);

    SceneDrawing drawing;
    if (perSprite) drawing.style = &EarlierDrawing;
    Scene scene;
    seedScene(scene, Seed);
    const SceneView view{0, 0, width, height};
    bool twoPassSwap = false;
    createSceneObjects(scene);
    if (!setUpDrawing(drawing, width, height, scene.particleCount(), presenter, twoPassSwap)) {
        std::fprintf(stderr, "drawing objects refused\n");
        return 1;
    }
    for (int k = 0; k < WarmUpFrames; ++k) advanceScene(scene, WarmUpDt);
    for (float t = 0; t < pathSeconds; t += MeasuredDt) advanceScene(scene, MeasuredDt);
    for (int k = 0; k < drawnWarmUp; ++k) renderFrame(drawing, scene, MeasuredDt, twoPassSwap, presenter, &view, 1);
    glFinish();

    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    const double cpuStart = processCpuMs();
    const auto start = std::chrono::steady_clock::now();
    measuredFrames(drawing, scene, presenter, twoPassSwap, view, frames);
    const double wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("%dx%d %s (%d depth bits), camera at %.0f: %d frames, %.1f fps, %.2f ms processor time per frame\n",
                width, height, perSprite ? "per-sprite" : "batched", depthBits, scene.cameraZ, frames, frames * 1000.0 / wallMs,
                (processCpuMs() - cpuStart) / frames);

    destroyDrawingObjects(drawing);
    glXMakeCurrent(display, None, nullptr);
    glXDestroyContext(display, context);
    XDestroyWindow(display, presenter.window);
    XCloseDisplay(display);
    return 0;
}
