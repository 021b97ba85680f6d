#include "renderer/draw/extension_list.h"

#include <cstring>

// A name may also occur as the start of a longer one (GLX_EXT_swap_control_tear), so every
// occurrence is checked for spaces or the list's ends around it.
bool hasExtension(const char* list, const char* name) {
    if (list == nullptr || *name == '\0') return false;
    const size_t length = std::strlen(name);
    for (const char* at = std::strstr(list, name); at != nullptr; at = std::strstr(at + 1, name)) {
        const bool startsWord = at == list || at[-1] == ' ';
        const bool endsWord = at[length] == '\0' || at[length] == ' ';
        if (startsWord && endsWord) return true;
    }
    return false;
}
