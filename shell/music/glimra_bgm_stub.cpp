// Silent stand-in until the MCI player lands.
#include "shell/music/glimra_bgm.h"
bool BGM_CdContinue = false;
void BGM_CdOpen() {}
void BGM_CdTick() { BGM_CdContinue = false; }
void BGM_CdStop() {}
void BGM_Mp3Play() {}
void BGM_Mp3Tick() {}
void BGM_Mp3Stop() {}
void BGM_WavPlay() {}
void BGM_WavStop() {}
