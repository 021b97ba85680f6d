// The button's persisted properties: their defaults and the rules for reading and storing them.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace lumivane {

// Stored values by property name; a missing name means "use the default".
using PropertyBag = std::map<std::string, std::string>;

// The values a button keeps between sessions. Texts are UTF-8.
struct CommandProperties {
    bool enabled = true;
    std::string caption = "Command1";
    std::string font;            // face description; empty = the host's font
    uint8_t firstRun = 1;
    uint32_t fontColour = 0;     // 0x00BBGGRR
    int16_t backStyle = 1;       // 1 opaque, 0 transparent

    // The Visible property as it reads: 255 for an opaque surface, 0 for a transparent one.
    uint8_t visible() const { return backStyle != 0 ? 255 : 0; }
    // Any non-zero value makes the surface opaque.
    void setVisible(uint8_t value) { backStyle = value != 0 ? 1 : 0; }
};

// Reads the properties from storage; missing or unusable values keep their defaults.
CommandProperties readCommandProperties(const PropertyBag& bag);
// Stores the properties; values equal to their storing default are left out.
PropertyBag writeCommandProperties(const CommandProperties& properties);

}  // namespace lumivane
