// The MCI module's way into Windows: commands through mciSendStringW, short paths
// through GetShortPathNameW, and a pass over the thread's waiting window messages.
#pragma once
#include <string>
#include <string_view>

#include "sound/mci.h"

namespace vtx {

MciPlatform WindowsMciPlatform();

// The three parts on their own (the tests combine them with their own).
std::string SendMciCommand(std::string_view command, std::size_t returnLength);
std::string ShortPathOf(const std::string& longPath);
// Dispatches every message waiting for this thread. A quit request found among
// them is posted again, so the program's own loop still ends.
void ProcessWaitingMessages();

}  // namespace vtx
