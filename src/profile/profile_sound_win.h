// The sound probe of the system profile: "the jukebox is silent" is the
// commonest call, so the profile names the output devices, the default one, its
// volume and whether it is muted.
#pragma once
#include <chrono>

#include "profile/system_profile.h"

namespace vtx {

// Asks Core Audio (the device enumerator and the default render endpoint's
// volume) on a worker thread of its own, which enters COM itself; where Core
// Audio is not there, the wave output devices of winmm name the devices (volume
// and mute then stay unknown). Given up after `limit` (TimedOut): a hung audio
// service must not hang the tool.
SoundFacts GetSoundFacts(std::chrono::milliseconds limit);

}  // namespace vtx
