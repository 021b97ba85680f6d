// Music choice, close steps and the renderer watch of the run host.
#include "shell/host/run_host_rules.h"

#include "common/names.h"

#include <cctype>

namespace {
constexpr size_t ExtensionLetters = 3;
}

// Upper-cases the last three characters of the path and names the player they call for.
MusicFile musicFileKind(const std::string& path) {
    if (path.size() < ExtensionLetters) return MusicFile::None;
    std::string tail = path.substr(path.size() - ExtensionLetters);
    for (char& c : tail) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (tail == "WAV") return MusicFile::Wav;
    if (tail == "MP3") return MusicFile::Mp3;
    return MusicFile::None;
}

// The CD is opened and driven by its tick timer; a file plays by its extension; other sources are silent.
LoadPlan planLoad(const ShellSettings& settings) {
    LoadPlan plan;
    if (settings.musicSource == MusicSourceCd) {
        plan.cdOpen = true;
        plan.startCdTimer = true;
    } else if (settings.musicSource == MusicSourceFile) {
        switch (musicFileKind(settings.musicFile)) {
            case MusicFile::Wav: plan.wavPlay = true; break;
            case MusicFile::Mp3: plan.mp3Play = true; plan.startMp3Timer = true; break;
            case MusicFile::None: break;
        }
    }
    return plan;
}

// The same scene on every monitor, the standard scene, every frame the display allows and the battery
// saver are the renderer's own defaults; only other choices are said.
std::wstring rendererArguments(const ShellSettings& settings, uint64_t shellProcessHandle) {
    const wchar_t* const screensOptions[] = {L"", L" /screens:primary", L" /screens:span", L" /screens:own"};
    const bool known = settings.screens >= ScreensEveryMonitor && settings.screens <= ScreensOwnScenes;
    std::wstring arguments = screensOptions[known ? settings.screens : ScreensEveryMonitor];
    if (shellProcessHandle != 0) arguments += L" " + std::wstring(ShellProcessOptionW) + std::to_wstring(shellProcessHandle);
    const std::string scene = sceneArguments(settings.scene) +  // ASCII digits and punctuation only
                              frameRateArguments(settings.frameRate, settings.batterySaver);
    arguments.append(scene.begin(), scene.end());
    return arguments;
}

// A CD whose control already ended by itself is left untouched; music never started is not stopped.
ClosePlan planClose(bool musicStarted, bool cdTimerRunning, const ShellSettings& settings, wchar_t modeLetter) {
    ClosePlan plan;
    plan.stopCdAndTimer = cdTimerRunning;
    if (musicStarted && settings.musicSource == MusicSourceFile) {
        const MusicFile file = musicFileKind(settings.musicFile);
        plan.wavStop = file == MusicFile::Wav;
        plan.mp3Stop = file == MusicFile::Mp3;
    }
    plan.showPointer = modeLetter == L'S';
    return plan;
}

// Wrap-safe: times are tick counts that may roll over. A window found counts even when the process
// has just ended: the next tick sees it gone.
WatchResult RendererWatch::tick(bool windowFound, bool processLives, uint32_t nowMs) {
    if (windowFound) {
        const bool first = !seen_;
        seen_ = true;
        return first ? WatchResult::Appeared : WatchResult::Running;
    }
    if (seen_) return WatchResult::Gone;
    if (!processLives) return WatchResult::NeverShown;
    return static_cast<uint32_t>(nowMs - loadTimeMs_) < RendererShowBoundMs ? WatchResult::Waiting
                                                                            : WatchResult::NeverShown;
}
