// The load rule and the stored number format of the shell's settings.
#include "shell/settings/settings.h"

#include <cmath>
#include <cstdlib>

#include "shell/settings/number_text.h"

namespace {
constexpr double Int16Min = -32768.0;
constexpr double Int16Max = 32767.0;
}  // namespace

const char IniSection[] = "Section";
const char IniKeySource[] = "BGM\x8B\xE6\x95\xAA";
const char IniKeyRepeat[] = "BGM\xD8\xCB\xDF\xB0\xC4";
const char IniKeyFile[] = "BGM\xCC\xA7\xB2\xD9";

// Reads a stored number as a whole decimal text between blanks, floored, within 16 bits.
bool parseSettingNumber(const std::string& text, int16_t& value) {
    if (!isDecimalText(text)) return false;
    const double floored = std::floor(std::strtod(trimBlanks(text).c_str(), nullptr));
    if (!(floored >= Int16Min && floored <= Int16Max)) return false;
    value = static_cast<int16_t>(floored);
    return true;
}

// Formats a stored number with the sign column the settings file has always used.
std::string formatSettingNumber(int value) {
    return value < 0 ? std::to_string(value) : " " + std::to_string(value);
}

// Removes the one trailing backslash a folder-style path may carry.
std::string fileTestPath(const std::string& path) {
    if (!path.empty() && path.back() == '\\') return path.substr(0, path.size() - 1);
    return path;
}

// Applies the load rule; a music file that cannot be opened falls back to no music.
void applyStoredSettings(ShellSettings& settings, const std::string& sourceText,
                         const std::string& repeatText, const std::string& fileText,
                         const std::function<bool(const std::string&)>& fileExists) {
    if (trimBlanks(sourceText).empty()) settings.musicSource = 0;
    else parseSettingNumber(sourceText, settings.musicSource);
    if (trimBlanks(repeatText).empty()) settings.repeatTrack = 0;
    else parseSettingNumber(repeatText, settings.repeatTrack);

    if (!fileText.empty()) {
        settings.musicFile = fileText;
        if (fileExists(fileText)) return;
    }
    settings.musicFile.clear();
    if (settings.musicSource == MusicSourceFile) settings.musicSource = MusicSourceNone;
}
