// The multimedia services the music player talks through.
#include "shell/music/system_ports.h"

#include <windows.h>
#include <mmsystem.h>

static_assert(SoundAsyncLoop == (SND_ASYNC | SND_LOOP), "looped WAV flags");

// Sends one MCI command string and answers its error code.
int SystemMciPort::send(const std::string& command, char* answer, unsigned answerSize) {
    return static_cast<int>(mciSendStringA(command.c_str(), answer, answerSize, nullptr));
}

// The system's text for an MCI error code.
bool SystemMciPort::errorText(int code, char* text, unsigned textSize) {
    return mciGetErrorStringA(static_cast<MCIERROR>(code), text, textSize) != FALSE;
}

// How many wave output devices the system has.
int SystemSoundPort::waveOutDeviceCount() { return static_cast<int>(waveOutGetNumDevs()); }

// Plays, loops or stops a WAV through the system's sound functions.
bool SystemSoundPort::playSound(const char* name, unsigned flags) {
    return PlaySoundA(name, nullptr, flags) != FALSE;
}
