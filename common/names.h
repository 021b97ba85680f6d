// Names and resource ids that the two programs, their resource scripts and their tests share.
// Resource scripts include this file too, so the ids are macros and the texts are hidden from them.
#pragma once

// Resource ids.
#define RENDERER_ICON_ID 7002        // the renderer's only icon group (one 32 x 32 image)
#define PREVIEW_STILL_ID 300         // the preview's still, a frame of the animation
#define SETTINGS_DIALOG_ICON_ID 200  // the settings dialog's icon
#define RADIO_OFF_ID 201             // 12 x 12 mark of a choice not taken
#define RADIO_ON_ID 202              // 12 x 12 mark of the choice taken
#define COMMAND_PICTURE_FIRST_ID 100 // the button's six 64 x 25 state pictures, 100 .. 105

#ifndef RC_INVOKED

// The renderer's window: its class, its title while it sets up, and the title the shell watches.
// The renderer uses the ANSI window functions (it runs on the 9x family too); the shell the wide ones.
inline constexpr char SaverClassName[] = "WindowsScreenSaverClass";
inline constexpr char SaverCreationTitle[] = "Screensaver";
inline constexpr char SaverRunningTitle[] = "Glimra_VC";
inline constexpr wchar_t SaverRunningTitleW[] = L"Glimra_VC";

// The shell's windows. The run host's and the dialog's titles are the single-instance markers.
inline constexpr wchar_t RunHostClassName[] = L"Glimra_S";
inline constexpr wchar_t RunHostTitle[] = L"Glimra_Main";
inline constexpr wchar_t SettingsDialogClassName[] = L"Glimra_P";
inline constexpr wchar_t SettingsDialogTitle[] = L"<Lumivane>";
inline constexpr wchar_t PreviewClassName[] = L"Glimra_R";
inline constexpr wchar_t PreviewTitle[] = L"Preview Window";
inline constexpr wchar_t CommandClassName[] = L"Glimra.Command";

// Files beside the shell.
inline constexpr wchar_t RendererFileName[] = L"Lumivane.dll";
inline constexpr wchar_t ShellFileName[] = L"Lumivane.scr";
inline constexpr wchar_t SettingsFileName[] = L"Lumivane.ini";

#endif
