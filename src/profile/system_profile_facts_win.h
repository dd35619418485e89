// Gathers the system profile from the machine and the installation: the profile
// beside the report that "/system", System.txt of the export and "Systemprofil
// kopieren" give.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "app/startup_win.h"
#include "profile/system_profile.h"

namespace vtx {

// The facts of one profile for the folders fixed at start-up. Probes that may
// block wait at most their deadline (common/deadlines.h) and together at most
// kProfileProbeBudget; while one is waited for, `whileWaiting` (if any) runs
// about every 10 ms on this thread.
SystemProfileFacts GatherSystemProfileFacts(const MainState& state, const std::function<void()>& whileWaiting = {});

// The profile's lines from fresh probes.
std::vector<std::string> GatherSystemProfileLines(const MainState& state,
                                                  const std::function<void()>& whileWaiting = {});

}  // namespace vtx
