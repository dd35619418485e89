// How long the tool waits for a probe that may never answer (a stuck service, a
// dying disk, a hung driver). Every such wait is named here, so that the time a
// sick machine can keep the user waiting is seen in one place.
#pragma once
#include <chrono>

namespace vtx {

// The system profile's probes. At worst the profile waits for the displays, the
// sound service and each of at most four drives once.
inline constexpr std::chrono::milliseconds kProfileDisplaysDeadline{3000};
inline constexpr std::chrono::milliseconds kProfileSoundDeadline{5000};
inline constexpr std::chrono::milliseconds kProfileDriveDeadline{3000};

}  // namespace vtx
