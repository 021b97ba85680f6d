// The Scene dialog Glimra_PS ("Scene"), which the settings dialog opens: a slider for each number of
// the scene, the colour and preset lists and a live picture; shown modally, returns when closed.
#pragma once

#include <windows.h>

#include "shell/settings/settings.h"

class WglSurface;

// Shows the dialog over its owner, which is disabled meanwhile. OK writes the scene's eight keys to
// the settings file and takes the settings into `settings`; Cancel leaves the file and `settings` alone.
void showSceneDialog(HINSTANCE instance, HWND owner, ShellSettings& settings);
// The same with the live picture on the given surface, which tests make refuse a step of the set-up.
void showSceneDialogOn(HINSTANCE instance, HWND owner, ShellSettings& settings, WglSurface& surface);
