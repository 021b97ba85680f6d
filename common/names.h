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

// The shell's texts: each id has one line in the Japanese and one in the English table of
// shell/texts/texts.rc, and is loaded with shellText(). A new text takes the next free number.
#define TEXT_APPLICATION_TITLE 1000  // caption of the shell's message boxes
#define TEXT_RENDERER_MISSING 1001   // Lumivane.dll is not beside Lumivane.scr
#define TEXT_SAVE_FAILED 1002        // the settings file could not be written; its path follows
#define TEXT_MUSIC_HEADING 1003      // the dialog's heading over the music choices
#define TEXT_SOURCE_NONE 1004        // the three music sources
#define TEXT_SOURCE_CD 1005
#define TEXT_SOURCE_FILE 1006
#define TEXT_REPEAT_TRACK 1007       // caption behind the CD track box
#define TEXT_CHOOSE_FILE 1008        // the button that opens the file choice
#define TEXT_MORE_WORKS 1009         // the button that opens the author's page
#define TEXT_SAVE 1010               // save and close
#define TEXT_CANCEL 1011             // close without saving
#define TEXT_FILE_FILTER 1012        // the file choice's description of MP3 and WAV files
#define TEXT_FILE_DIALOG_TITLE 1013  // title of the file choice
#define TEXT_RENDERER_NOT_STARTED 1014  // Lumivane.dll is there but could not be started
#define TEXT_SCREENS 1015            // caption of the choice of screens
#define TEXT_SCREENS_EVERY 1016      // the same scene on every monitor
#define TEXT_SCREENS_PRIMARY 1017    // the scene on the primary monitor only, the others black
#define TEXT_SCREENS_SPAN 1060       // one picture across all the monitors
#define TEXT_SCREENS_OWN 1061        // a scene of its own on each monitor
#define TEXT_SCENE_BUTTON 1018       // the settings dialog's button that opens the Scene dialog
#define TEXT_SCENE_TITLE 1019        // the Scene dialog's caption
#define TEXT_KNOB_PARTICLES 1020     // the labels of the sliders and the colour list, in knob order
#define TEXT_KNOB_SIZE 1021
#define TEXT_KNOB_SPEED 1022
#define TEXT_KNOB_CAMERA 1023
#define TEXT_KNOB_TRAILS 1024
#define TEXT_KNOB_EMITTERS 1025
#define TEXT_KNOB_ABSORBERS 1026
#define TEXT_KNOB_COLOURS 1027
#define TEXT_SCENE_PRESET 1028       // the label of the preset list
#define TEXT_PALETTE_EVERY_HUE 1029  // the five palettes, in their order
#define TEXT_PALETTE_WARM 1030
#define TEXT_PALETTE_COLD 1031
#define TEXT_PALETTE_GREEN 1032
#define TEXT_PALETTE_VIOLET 1033
#define TEXT_PRESET_DEFAULT 1034     // the six presets, in their order
#define TEXT_PRESET_CALM 1035
#define TEXT_PRESET_SWARM 1036
#define TEXT_PRESET_EMBERS 1037
#define TEXT_PRESET_AURORA 1038
#define TEXT_PRESET_NEBULA 1039
#define TEXT_PRESET_OWN 1040         // the preset list's entry for the user's own settings
#define TEXT_OK 1041                 // the Scene dialog's button that saves and closes
#define TEXT_FILE_NAME_UNSTORABLE 1070  // a chosen music file's name cannot be stored; its path follows
#define TEXT_FRAME_RATE 1042         // caption of the frame-rate choice
#define TEXT_FRAME_RATE_DISPLAY 1043 // the three frame-rate choices: as the display allows, 60, 30
#define TEXT_FRAME_RATE_60 1044
#define TEXT_FRAME_RATE_30 1045
#define TEXT_BATTERY_SAVER 1046      // the check box: at most 30 frames a second on battery

#ifndef RC_INVOKED

// Window classes and titles all carry the program's internal name, Glimra, with a letter for each
// window: S the hidden run host that starts and watches a saver run, P the settings dialog (its
// property page) and PS its Scene dialog, R the preview that the system's settings show and the
// Scene dialog's live picture, VC the renderer's window while its scene plays (the view). Stored files, the run host and other copies of the programs look for
// these exact titles, so they never change.

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
inline constexpr wchar_t SceneDialogClassName[] = L"Glimra_PS";  // its title is a text of the tables
inline constexpr wchar_t PreviewClassName[] = L"Glimra_R";
inline constexpr wchar_t PreviewTitle[] = L"Preview Window";
inline constexpr wchar_t CommandClassName[] = L"Glimra.Command";

// The option by which the shell hands the renderer a handle of its own process ("/shell:<decimal>"):
// the renderer ends when that process has ended. The renderer reads the ANSI form, the shell writes the wide one.
inline constexpr char ShellProcessOption[] = "/shell:";
inline constexpr wchar_t ShellProcessOptionW[] = L"/shell:";

// Files beside the shell.
inline constexpr wchar_t RendererFileName[] = L"Lumivane.dll";
inline constexpr wchar_t ShellFileName[] = L"Lumivane.scr";
inline constexpr wchar_t SettingsFileName[] = L"Lumivane.ini";

#endif
