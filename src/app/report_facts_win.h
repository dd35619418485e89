// Gathers the facts of one report from the machine and the installation, in the
// order the report lists them.
#pragma once
#include <functional>

#include "app/startup_win.h"
#include "report/report_lines.h"

namespace vtx {

// The probes that talk to a service or a device (WMI, the drive's SMART requests)
// run with deadlines and share kReportProbeBudget: one that passes its deadline
// gives what a failed probe gives, and the report goes on. While one is waited
// for, `whileWaiting` (if any) runs about every 10 ms on this thread.
ReportFacts GatherReportFacts(const MainState& state, const std::function<void()>& whileWaiting = {});

// The report's lines from fresh probes: what the window lists, "/report" prints and
// VTX.log holds (45 lines, 53 when state.DebugInfo is set).
std::vector<std::string> GatherReportLines(const MainState& state, const std::function<void()>& whileWaiting = {});

// Today's date in the user's short date format and the time in the user's long
// time format.
std::string ShortDateNow();
std::string LongTimeNow();

}  // namespace vtx
