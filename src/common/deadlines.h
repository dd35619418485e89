// How long the tool waits for each probe that talks to a service or a device
// (a stuck service, a dying disk, a hung driver) before the probe counts as
// failed. A call that never returns cannot be cancelled: its work goes on on a
// thread of its own, and the probe gives what a failed probe gives. Every such
// wait is named here, so that the time a sick machine can keep the user waiting
// is seen in one place.
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

// All the report's probes above together: each waits for the smaller of its own
// deadline and what the report has left; once it is spent, the remaining ones
// fail at once. Bounds the report with the debug section (five queries, two
// walks) to this, whatever hangs, and so keeps the whole report within 15 seconds
// of the start (the debug rebuild likewise).
inline constexpr std::chrono::milliseconds kReportProbeBudget{8000};

// The system profile's probes. At worst the profile waits for the displays, the
// sound service, each of at most four drives, each device probe, the power
// service, the shell's link object (the Startup folders' shortcuts), the report
// folders and two event logs once, and never longer than kProfileProbeBudget in all.
inline constexpr std::chrono::milliseconds kProfileDisplaysDeadline{3000};
inline constexpr std::chrono::milliseconds kProfileSoundDeadline{5000};
inline constexpr std::chrono::milliseconds kProfileDriveDeadline{3000};
// Each of the device manager's probes: the display adapters, the sound devices,
// the devices with a problem (a walk over every present device), the touch screen.
inline constexpr std::chrono::milliseconds kProfileDevicesDeadline{3000};
inline constexpr std::chrono::milliseconds kProfilePowerDeadline{3000};
inline constexpr std::chrono::milliseconds kProfileAutostartDeadline{3000};
// The walk of the error report folders (at most 2,000 of them, a Report.wer each)
// and the reading of each of the two event logs back 30 days: a queue of
// thousands of folders or a busy event log service must not stall the profile.
inline constexpr std::chrono::milliseconds kProfileErrorReportsDeadline{4000};
inline constexpr std::chrono::milliseconds kProfileEventLogDeadline{3000};
// All the profile's probes above together, as the report's budget: each waits
// for the smaller of its own deadline and what is left; once it is spent, the
// remaining ones give no answer at once. With the probes that do not wait (the
// registry, the process list) the profile stays within 15 seconds on a sick
// machine.
inline constexpr std::chrono::milliseconds kProfileProbeBudget{12000};

}  // namespace vtx
