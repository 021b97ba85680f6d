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

// Opened for each read: the player reads a few headers once per run.
unsigned SystemSoundPort::readFile(const char* name, uint64_t offset, char* buffer, unsigned size) {
    const HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    LONG high = static_cast<LONG>(offset >> 32);
    DWORD got = 0;
    // A low part of all ones is a position too: only the error code tells a failure.
    SetLastError(NO_ERROR);
    const bool placed = SetFilePointer(file, static_cast<LONG>(offset & 0xFFFFFFFFu), &high, FILE_BEGIN) !=
                            INVALID_SET_FILE_POINTER || GetLastError() == NO_ERROR;
    if (!placed || !ReadFile(file, buffer, size, &got, nullptr)) got = 0;
    CloseHandle(file);
    return got;
}
