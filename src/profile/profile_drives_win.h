// The drives of the jukebox's folders for the system profile: file system, free
// and total space, and which of the folders lie on each.
#pragma once
#include <chrono>
#include <vector>

#include "common/probe_wait.h"

#include "profile/system_profile.h"

namespace vtx {

// One entry per drive (the root of each folder's path; each drive once, in the
// order its first folder comes), with every folder that lies on it. A folder
// whose path names no drive is listed under a drive "" that failed. Each drive is
// asked on a worker thread and given up after `limit` (TimedOut): a network
// drive that went away or a dying disk must not hang the tool.
// With `wait`, the limit is its share of the profile's budget and the caller's
// messages run while it waits.
std::vector<DriveFacts> GetDriveFacts(const std::vector<FolderOnDrive>& folders, std::chrono::milliseconds limit,
                                      const ProbeWait& wait = {});

}  // namespace vtx
