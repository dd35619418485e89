// Gathers the system profile from the machine and the installation: the profile
// beside the report that "/system", System.txt of the export and "Systemprofil
// kopieren" give.
#pragma once
#include <string>
#include <vector>

#include "app/startup_win.h"
#include "profile/system_profile.h"

namespace vtx {

// The facts of one profile for the folders fixed at start-up. Probes that may
// block wait at most their deadline (common/deadlines.h).
SystemProfileFacts GatherSystemProfileFacts(const MainState& state);

// The profile's lines from fresh probes.
std::vector<std::string> GatherSystemProfileLines(const MainState& state);

}  // namespace vtx
