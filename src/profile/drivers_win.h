// The system profile's probes of the device manager: the display adapters and
// sound devices with their drivers, the devices that report a problem, the touch
// screen. They only look: SetupAPI's lists of present devices, driver keys opened
// to read values, the configuration manager's status. Each runs on a worker
// thread and is given up after its `limit` (TimedOut): device enumeration can
// stall on a sick bus, and the tool must not stall with it.
#pragma once
#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "common/probe_wait.h"
#include "profile/drivers.h"

namespace vtx {

// Every display adapter EnumDisplayDevices names (its outputs taken together),
// with the driver of its device in the display class.
DisplayAdaptersFacts GetDisplayAdaptersFacts(std::chrono::milliseconds limit, const ProbeWait& wait = {});

// Every present device of the media class, by its friendly name (else its
// description), with its driver.
SoundDevicesFacts GetSoundDevicesFacts(std::chrono::milliseconds limit, const ProbeWait& wait = {});

// A device node's status bits (DN_*) and problem number (CM_PROB_*).
struct DevNodeStatus {
    unsigned long status = 0, problem = 0;
};
// Asks for one device node's status: nothing when the node cannot say.
using DevNodeStatusQuery = std::function<std::optional<DevNodeStatus>(unsigned long devInst, const std::string& instanceId)>;

// Every present device whose node has a problem (DN_HAS_PROBLEM), with its name
// (else its instance ID), its class (the class's description, else its name) and the problem number.
// `query` stands in for the configuration manager (CM_Get_DevNode_Status) where
// given. Failed when no node could tell its status.
ProblemDevicesFacts GetProblemDevicesFacts(std::chrono::milliseconds limit, DevNodeStatusQuery query = {},
                                           const ProbeWait& wait = {});

// The digitizer's kind and readiness and the touch points it takes.
TouchFacts GetTouchFacts(std::chrono::milliseconds limit, const ProbeWait& wait = {});

}  // namespace vtx
