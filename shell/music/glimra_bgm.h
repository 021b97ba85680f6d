// Background music of the run host: audio CD, MP3 and WAV, each repeated.
// The process-wide player acts on the loaded settings (BGM_RepeatTrack, BGM_File).
#pragma once

extern bool BGM_CdContinue;  // the host keeps Timer2 running only while this is true

void BGM_CdOpen();
void BGM_CdTick();
void BGM_CdStop();
void BGM_Mp3Play();
void BGM_Mp3Tick();
void BGM_Mp3Stop();
void BGM_WavPlay();
void BGM_WavStop();
