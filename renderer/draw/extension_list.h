// Lookup of a name in an OpenGL, WGL or GLX extension list, free of any GL header.
#pragma once

// True when the space-separated list holds the name as a whole word; a null list holds nothing.
bool hasExtension(const char* list, const char* name);
