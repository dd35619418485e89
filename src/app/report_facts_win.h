// Gathers the facts of one report from the machine and the installation, in the
// order the report lists them.
#pragma once
#include "app/startup_win.h"
#include "report/report_lines.h"

namespace vtx {

ReportFacts GatherReportFacts(const MainState& state);

// The report's lines from fresh probes: what the window lists, "/report" prints and
// VTX.log holds (45 lines, 53 when state.DebugInfo is set).
std::vector<std::string> GatherReportLines(const MainState& state);

// Today's date in the user's short date format and the time in the user's long
// time format.
std::string ShortDateNow();
std::string LongTimeNow();

}  // namespace vtx
