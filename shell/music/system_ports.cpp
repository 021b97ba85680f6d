// The multimedia services the music player talks through.
#include "shell/music/system_ports.h"

#include <windows.h>
#include <mmsystem.h>

static_assert(SoundAsyncLoop == (SND_ASYNC | SND_LOOP), "looped WAV flags");

int SystemMciPort::send(const std::string& command, char* answer, unsigned answerSize) {
    return static_cast<int>(mciSendStringA(command.c_str(), answer, answerSize, nullptr));
}

bool SystemMciPort::errorText(int code, char* text, unsigned textSize) {
    return mciGetErrorStringA(static_cast<MCIERROR>(code), text, textSize) != FALSE;
}

int SystemSoundPort::waveOutDeviceCount() { return static_cast<int>(waveOutGetNumDevs()); }

bool SystemSoundPort::playSound(const char* name, unsigned flags) {
    return PlaySoundA(name, nullptr, flags) != FALSE;
}
