// The settings dialog Glimra_P ("<Lumivane>"), shown modally; returns when it has closed.
#pragma once
#include <windows.h>

void showSettingsDialog(HINSTANCE instance);
