// The active power plan through the power functions of powrprof.dll, loaded at
// run time and handed to the probe as a table, so that a test can put stand-ins
// in their place (Wine's answer "not implemented" to all of them).
#pragma once
#include <windows.h>

#include <chrono>

#include "common/probe_wait.h"
#include "profile/all_day.h"

namespace vtx {

// The functions the power probe calls, with the signatures of powrprof.dll.
// A missing one (nullptr) makes its facts unknown.
struct PowerFunctions {
    DWORD(WINAPI* getActiveScheme)(HKEY, GUID**) = nullptr;  // the GUID is freed with LocalFree
    DWORD(WINAPI* readAcValueIndex)(HKEY, const GUID*, const GUID*, const GUID*, DWORD*) = nullptr;
    DWORD(WINAPI* readDcValueIndex)(HKEY, const GUID*, const GUID*, const GUID*, DWORD*) = nullptr;
    DWORD(WINAPI* readFriendlyName)(HKEY, const GUID*, const GUID*, const GUID*, UCHAR*, DWORD*) = nullptr;
    BOOLEAN(WINAPI* getPwrCapabilities)(SYSTEM_POWER_CAPABILITIES*) = nullptr;
};

// The functions of powrprof.dll from the system folder. The module is loaded once
// and stays loaded for the life of the process (a probe given up at its deadline
// may still be inside it); all nullptr when it cannot be loaded.
PowerFunctions SystemPowerFunctions();

// The active plan's name, its timeouts on mains power and, where the PC has a
// battery, on battery, and whether the PC can hibernate (it can sleep to disk and
// has its hibernation file). Runs `functions` on a worker for at most `limit`;
// reads only.
PowerFacts GetPowerFacts(std::chrono::milliseconds limit, const PowerFunctions& functions = SystemPowerFunctions(),
                         const ProbeWait& wait = {});

// The same facts read on the calling thread, without a deadline.
PowerFacts ReadPowerFacts(const PowerFunctions& functions);

}  // namespace vtx
