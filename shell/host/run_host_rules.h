// Decisions of the hidden run host: which music to start and stop, its timers, and when the run ends.
// No Windows here; the host window only carries these out.
#pragma once

#include <cstdint>
#include <string>

#include "shell/settings/settings.h"

constexpr unsigned Mp3RestartIntervalMs = 1000;  // MP3 restart check
constexpr unsigned CdTickIntervalMs = 200;       // CD control tick
constexpr unsigned RendererWatchIntervalMs = 50; // renderer watch
// How long the watch waits for the renderer's window to appear at all before a miss ends the run.
constexpr uint32_t RendererGraceMs = 5000;

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

// What the host stops when it is asked to close.
struct ClosePlan {
    bool stopCdAndTimer = false;   // only while CD control is still running
    bool wavStop = false;
    bool mp3Stop = false;
    bool showPointer = false;      // the pointer was hidden at start ("S")
};
ClosePlan planClose(bool cdTimerRunning, const ShellSettings& settings, wchar_t modeLetter);

// The renderer watch: ends the run at the first miss once the window has been seen,
// or once the grace period after load is over.
class RendererWatch {
public:
    explicit RendererWatch(uint32_t loadTimeMs) : loadTimeMs_(loadTimeMs) {}
    // One watch tick; false when the run is to end.
    bool keepRunning(bool windowFound, uint32_t nowMs);

private:
    uint32_t loadTimeMs_;
    bool seen_ = false;
};
