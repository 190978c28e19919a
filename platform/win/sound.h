// Playing wave sounds on the sound card through ALSA's player program ("aplay", started
// with an argument vector). Without a sound device or without the player every call fails
// quietly (FALSE), as Windows does on a machine without sound.
#pragma once

#include "platform/win/wintypes.h"

constexpr UINT SND_SYNC = 0x0000, SND_ASYNC = 0x0001, SND_NODEFAULT = 0x0002, SND_MEMORY = 0x0004,
               SND_LOOP = 0x0008, SND_NOSTOP = 0x0010, SND_PURGE = 0x0040, SND_APPLICATION = 0x0080,
               SND_NOWAIT = 0x2000, SND_ALIAS = 0x00010000, SND_FILENAME = 0x00020000,
               SND_RESOURCE = 0x00040004;

// sound: a file name, or with SND_MEMORY a RIFF wave in memory; null stops the sound that
// is playing (and answers TRUE). SND_ASYNC returns at once; otherwise the call waits until
// the sound has played. A new sound stops the one before unless SND_NOSTOP.
BOOL sndPlaySoundA(const char* sound, UINT flags);
BOOL PlaySoundA(const char* sound, HINSTANCE module, DWORD flags);

// For tests: the player program and the device folder the calls look for (defaults
// "aplay" on PATH and "/dev/snd"); empty restores the default.
void SetSoundBackendForTesting(const char* player, const char* deviceDir);
// True while a sound started by this process plays.
bool SoundPlaying();
