// Probes of the system profile for the hardware the jukebox drives: the displays
// and the serial and parallel ports its coin and control hardware hangs on.
#pragma once
#include <chrono>

#include "common/probe_wait.h"

#include "profile/system_profile.h"

namespace vtx {

// Every monitor (EnumDisplayMonitors) with its current mode (EnumDisplaySettings:
// the true resolution, also where the tool, not DPI-aware, is shown scaled),
// position and whether it is the main one. The query runs on a worker thread and
// is given up after `limit` (TimedOut): a hung display driver must not hang the tool.
// With `wait`, the limit is its share of the profile's budget and the caller's
// messages run while it waits.
DisplaysFacts GetDisplaysFacts(std::chrono::milliseconds limit, const ProbeWait& wait = {});

// The ports Windows maps under HKLM\HARDWARE\DEVICEMAP: SERIALCOMM (value: device,
// data: "COM1") and PARALLEL PORTS (value: device, data: "\DosDevices\LPT1"),
// sorted by name. A missing key means no such port.
PortsFacts GetPortsFacts();

}  // namespace vtx
