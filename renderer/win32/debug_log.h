// One line to the debugger's log, which tools such as DebugView (or Wine's debug channel) show.
#pragma once

// Writes one line to the debugger's log (OutputDebugString), with the running program's file name in front.
void logRendererMessage(const char* text);
