// Decisions of the hidden run host: which music to start and stop, its timers, and when the run ends.
// No Windows here; the host window only carries these out.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "shell/settings/settings.h"

constexpr unsigned Mp3RestartIntervalMs = 1000;  // MP3 restart check
constexpr unsigned CdTickIntervalMs = 200;       // CD control tick
constexpr unsigned RendererWatchIntervalMs = 50; // renderer watch
// How long the watch waits for the window of a renderer whose process lives before it gives up on
// it (ms). A start from a spun-down disk on a busy machine has taken tens of seconds (the program,
// then OpenGL and its driver, each read and set up); no one watches the screen meanwhile, so a late
// saver costs nothing, while a renderer that hangs holds the shell's lock until the bound, and a
// minute keeps the next saver start from being kept out for long.
constexpr uint32_t RendererShowBoundMs = 60000;
// Longest wait for the music to stop at the end of a run (ms). The pointer is back before it, and
// the rest of the second the end may take is left to the process's own end.
constexpr unsigned MusicStopBoundMs = 500;

// A music file as told by the last three letters of its name.
enum class MusicFile { None, Wav, Mp3 };

// "WAV" or "MP3" (any letter case) at the end of the path; anything else is no music.
MusicFile musicFileKind(const std::string& path);

// What the host starts at load.
struct LoadPlan {
    bool cdOpen = false;          // open the CD, then its tick timer
    bool wavPlay = false;         // the WAV, looped without a timer
    bool mp3Play = false;         // the MP3, then its restart timer
    bool startMp3Timer = false;
    bool startCdTimer = false;
};
LoadPlan planLoad(const ShellSettings& settings);

// What follows the renderer's quoted path on its command line: the screens the scene plays on, the
// handle of the shell's own process that the renderer inherits (0: none), so that it ends with the
// shell, the scene's settings, and the frame-rate choice and battery saver.
std::wstring rendererArguments(const ShellSettings& settings, uint64_t shellProcessHandle);

// What the host stops when it is asked to close.
struct ClosePlan {
    bool stopCdAndTimer = false;   // only while CD control is still running
    bool wavStop = false;
    bool mp3Stop = false;
    bool showPointer = false;      // the pointer was hidden at start ("S")
};
// `musicStarted`: the load plan was carried out (the renderer's window had appeared).
ClosePlan planClose(bool musicStarted, bool cdTimerRunning, const ShellSettings& settings, wchar_t modeLetter);

// What one tick of the renderer watch finds.
enum class WatchResult {
    Waiting,     // no window yet, while the renderer's process lives, within the bound
    Appeared,    // the window is there for the first time: the music may start
    Running,     // the window is still there
    Gone,        // the window was there and went: the run is over
    NeverShown,  // the process ended without a window, or showed none within the bound: the renderer failed
};

// The renderer watch: waits for the renderer's window while its process lives (up to the bound),
// then ends the run at the first tick that misses it.
class RendererWatch {
public:
    // Starts a watch that gives the renderer loadTimeMs to show its window.
    explicit RendererWatch(uint32_t loadTimeMs) : loadTimeMs_(loadTimeMs) {}
    // One watch tick at `nowMs`, with whether the window was found and whether the process lives.
    WatchResult tick(bool windowFound, bool processLives, uint32_t nowMs);

private:
    uint32_t loadTimeMs_;
    bool seen_ = false;
};

