// The real multimedia services behind the music player's ports: MCI command strings and the
// system's sound player.
#pragma once

#include "shell/music/music_player.h"

class SystemMciPort : public MciPort {
public:
    int send(const std::string& command, char* answer, unsigned answerSize) override;
    bool errorText(int code, char* text, unsigned textSize) override;
};

class SystemSoundPort : public SoundPort {
public:
    int waveOutDeviceCount() override;
    bool playSound(const char* name, unsigned flags) override;
    unsigned readFile(const char* name, uint64_t offset, char* buffer, unsigned size) override;
};
