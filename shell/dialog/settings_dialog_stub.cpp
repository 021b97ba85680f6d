// Stand-in until the settings dialog lands.
#include "shell/dialog/settings_dialog.h"
void showSettingsDialog(HINSTANCE) {}
