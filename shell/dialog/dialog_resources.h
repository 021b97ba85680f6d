// Resource ids of the settings dialog's pictures.
#pragma once

#define IDI_SETTINGS_DIALOG 200
#define IDB_RADIO_OFF 201
#define IDB_RADIO_ON 202
