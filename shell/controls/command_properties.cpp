#include "shell/controls/command_properties.h"

#include <cerrno>
#include <cstdlib>

namespace lumivane {

namespace {

// The caption default differs between the directions: "Command" is not stored, "Command1" is read.
constexpr const char* kCaptionReadDefault = "Command1";
constexpr const char* kCaptionWriteDefault = "Command";

// Whole decimal number in [low, high]; false for anything else.
bool parseInteger(const std::string& text, long long low, long long high, long long& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < low || value > high) return false;
    out = value;
    return true;
}

const std::string* find(const PropertyBag& bag, const char* name) {
    auto it = bag.find(name);
    return it == bag.end() ? nullptr : &it->second;
}

}  // namespace

CommandProperties readCommandProperties(const PropertyBag& bag) {
    CommandProperties p;
    p.caption = kCaptionReadDefault;
    long long n = 0;
    if (const std::string* v = find(bag, "Enabled")) {
        if (parseInteger(*v, -1, 0, n)) p.enabled = n != 0;
    }
    if (const std::string* v = find(bag, "Caption")) p.caption = *v;
    if (const std::string* v = find(bag, "Font")) p.font = *v;
    if (const std::string* v = find(bag, "FirstRun")) {
        if (parseInteger(*v, 0, 255, n)) p.firstRun = static_cast<uint8_t>(n);
    }
    if (const std::string* v = find(bag, "FontColour")) {
        if (parseInteger(*v, 0, 0xFFFFFFFFLL, n)) p.fontColour = static_cast<uint32_t>(n);
    }
    if (const std::string* v = find(bag, "Visible")) {
        // The surface accepts only 0 and 1; anything else keeps the previous style.
        if (parseInteger(*v, 0, 1, n)) p.backStyle = static_cast<int16_t>(n);
    }
    return p;
}

PropertyBag writeCommandProperties(const CommandProperties& p) {
    PropertyBag bag;
    if (!p.enabled) bag["Enabled"] = "0";
    if (p.caption != kCaptionWriteDefault) bag["Caption"] = p.caption;
    if (p.firstRun != 1) bag["FirstRun"] = std::to_string(p.firstRun);
    if (!p.font.empty()) bag["Font"] = p.font;
    if (p.fontColour != 0) bag["FontColour"] = std::to_string(p.fontColour);
    if (p.backStyle != 1) bag["Visible"] = std::to_string(p.backStyle);
    return bag;
}

}  // namespace lumivane
