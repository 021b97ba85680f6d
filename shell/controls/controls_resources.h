// Resource ids of the push button's state pictures.
#pragma once

#define IDB_COMMAND_NORMAL 100
#define IDB_COMMAND_HIGHLIGHT 101
#define IDB_COMMAND_SELECTED 102
#define IDB_COMMAND_HIGHLIGHTSELECT 103
#define IDB_COMMAND_PRESSED 104
#define IDB_COMMAND_DISABLE 105
