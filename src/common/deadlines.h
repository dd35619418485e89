// How long the tool waits for each probe that talks to a service or a device
// before the probe counts as failed. A call that never returns cannot be
// cancelled: its work goes on on a thread of its own, and the probe gives what a
// failed probe gives. Together these keep the whole report, every such probe
// hanging, within 15 seconds of the start (the debug rebuild likewise).
#pragma once
#include <chrono>

namespace vtx {

// One WMI query, from the connection to the last object it reads (memory, clock,
// the disks of the debug section). A healthy WMI answers in well under a second,
// also the first time after the service has started.
inline constexpr std::chrono::milliseconds kWmiQueryDeadline{3000};

// The SMART walk of one drive identifier: open, version, enable and IDENTIFY for
// drives 0 to 7 together. Each request of a healthy drive takes milliseconds.
inline constexpr std::chrono::milliseconds kDriveSmartDeadline{3000};

// All the probes above of one report together: each waits for the smaller of its
// own deadline and what the report has left; once it is spent, the remaining
// ones fail at once. Bounds the report with the debug section (five queries, two
// walks) to this, whatever hangs.
inline constexpr std::chrono::milliseconds kReportProbeBudget{8000};

}  // namespace vtx
