// The sound probe of the system profile: "the jukebox is silent" is the
// commonest call, so the profile names the output devices, the default one, its
// volume and whether it is muted.
#pragma once
#include <chrono>

#include "common/probe_wait.h"

#include "profile/system_profile.h"

namespace vtx {

// Asks Core Audio (the device enumerator and the default render endpoint's
// volume) on a worker thread of its own, which enters COM itself; where Core
// Audio is not there, the wave output devices of winmm name the devices (volume
// and mute then stay unknown). Given up after `limit` (TimedOut): a hung audio
// service must not hang the tool.
// With `wait`, the limit is its share of the profile's budget and the caller's
// messages run while it waits.
SoundFacts GetSoundFacts(std::chrono::milliseconds limit, const ProbeWait& wait = {});

}  // namespace vtx
