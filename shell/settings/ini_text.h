// The text of a settings file as bytes: one key's value read out of it, or set in it, as the
// system's profile functions read and write them, whatever the bytes of the names mean.
#pragma once

#include <string>

// The value of `key` in `[section]`: the first such key of the first such section, blanks around it
// dropped, and one pair of matching quotes around it too. Empty where the section or the key is missing.
// Names match byte for byte, ASCII letters whatever their case.
std::string iniValue(const std::string& text, const std::string& section, const std::string& key);

// The text with `key=value` in `[section]`: in the place of the key's first line there, else after the
// section's last key, else in a section of its own at the end. Every other byte stays as it was.
std::string withIniValue(const std::string& text, const std::string& section, const std::string& key,
                         const std::string& value);
