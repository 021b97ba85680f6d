// Settings file texts, line by line, as the profile functions see them.
#include "shell/settings/ini_text.h"

#include <cstddef>

namespace {
constexpr char LineBreak[] = "\r\n";  // what the profile functions write after each line

// One line of the text: where it starts, where its bytes end (before CR LF) and where the next begins.
struct Line {
    size_t start = 0, end = 0, next = 0;
};

// The line that starts at `at`.
Line lineAt(const std::string& text, size_t at) {
    const size_t feed = text.find('\n', at);
    Line line{at, feed == std::string::npos ? text.size() : feed, feed == std::string::npos ? text.size() : feed + 1};
    if (line.end > line.start && text[line.end - 1] == '\r') --line.end;
    return line;
}

// The bytes between `from` and `to` without the blanks at either end.
std::string trimmed(const std::string& text, size_t from, size_t to) {
    while (from < to && (text[from] == ' ' || text[from] == '\t')) ++from;
    while (to > from && (text[to - 1] == ' ' || text[to - 1] == '\t')) --to;
    return text.substr(from, to - from);
}

// Whether two names are the same, ASCII letters compared without their case; other bytes exactly.
bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto fold = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

// The section a line opens, or nothing (`opens` false) when it opens none.
std::string sectionName(const std::string& text, const Line& line, bool& opens) {
    const std::string bytes = trimmed(text, line.start, line.end);
    const size_t close = bytes.find(']');
    opens = !bytes.empty() && bytes[0] == '[' && close != std::string::npos;
    return opens ? trimmed(bytes, 1, close) : std::string();
}

// The key a line names (before its '='), or nothing where it has no '='.
std::string keyName(const std::string& text, const Line& line, size_t& equals) {
    equals = text.find('=', line.start);
    if (equals == std::string::npos || equals >= line.end) return {};
    return trimmed(text, line.start, equals);
}

// Where a key of the section stands: its line, or where a new one goes (`found` false); `inSection`
// false when the text has no such section.
struct Place {
    Line line;
    bool found = false, inSection = false;
    size_t insertAt = 0;  // after the section's last key
};

// Finds the key's line in the first section of that name.
Place findKey(const std::string& text, const std::string& section, const std::string& key) {
    Place place;
    bool inside = false;
    for (size_t at = 0; at < text.size();) {
        const Line line = lineAt(text, at);
        at = line.next;
        bool opens = false;
        const std::string name = sectionName(text, line, opens);
        if (opens) {
            if (place.inSection) break;  // only the first section of the name counts
            inside = sameName(name, section);
            place.inSection = inside;
            place.insertAt = line.next;
            continue;
        }
        if (!inside) continue;
        size_t equals = 0;
        const std::string lineKey = keyName(text, line, equals);
        if (!lineKey.empty() || equals < line.end) place.insertAt = line.next;
        if (equals < line.end && sameName(lineKey, key)) {
            place.line = line;
            place.found = true;
            return place;
        }
    }
    return place;
}
}  // namespace

// Quotes go only when they match at both ends, as the profile reader drops them.
std::string iniValue(const std::string& text, const std::string& section, const std::string& key) {
    const Place place = findKey(text, section, key);
    if (!place.found) return {};
    const size_t equals = text.find('=', place.line.start);
    std::string value = trimmed(text, equals + 1, place.line.end);
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

// A line added to a text that does not end its last line starts one of its own.
std::string withIniValue(const std::string& text, const std::string& section, const std::string& key,
                         const std::string& value) {
    const std::string entry = key + "=" + value;
    const Place place = findKey(text, section, key);
    if (place.found) return text.substr(0, place.line.start) + entry + text.substr(place.line.end);
    std::string head = text.substr(0, place.inSection ? place.insertAt : text.size());
    const std::string tail = place.inSection ? text.substr(place.insertAt) : std::string();
    if (!head.empty() && head.back() != '\n') head += LineBreak;
    if (!place.inSection) head += "[" + section + "]" + LineBreak;
    return head + entry + LineBreak + tail;
}
