// DirectMusic core types shared by the performance layer.
#pragma once

#include <objbase.h>

#include "dmerror.h"

typedef LONGLONG REFERENCE_TIME;  // 100 ns units
typedef LONG MUSIC_TIME;          // ticks: DMUS_PPQ per quarter note, 120 beats a minute

#define DMUS_PPQ 768
// Music time runs at the default tempo: 120 quarter notes a minute.
#define MORVALE_DMUS_TICKS_PER_SECOND (DMUS_PPQ * 2)

// Objects the game never asks for; InitAudio only accepts null for them.
struct IDirectMusic;
struct IDirectSound;
struct DMUS_AUDIOPARAMS;
