#pragma once
#include "AudioFile.h"

namespace talvenhost {

// The built-in signal: 2 s of stereo 48 kHz, a logarithmic sweep from 20 Hz
// to 20 kHz plus pink noise (independent per channel), peaking at -12 dBFS.
AudioBuffer MakeDefaultTestSignal();

} // namespace talvenhost
