// Probes of what happened on the machine: the report folders of Windows Error
// Reporting and the crash dumps, and the System and Application event logs read
// through the classic event log functions (Windows 7 has them as every later
// Windows does). Only reads: nothing is deleted, acknowledged or changed.
#pragma once
#include <chrono>
#include <string>
#include <vector>

#include "common/probe_wait.h"
#include "profile/incidents.h"

namespace vtx {

// Where the reports lie: the report folders' parents (ReportArchive and
// ReportQueue under %ProgramData% and under %LOCALAPPDATA%), and the folder of
// the crash dumps (%LOCALAPPDATA%\CrashDumps).
struct WerPlaces {
    std::vector<std::string> reportRoots;
    std::string crashDumps;
};
WerPlaces WerPlacesOfThisMachine();

// The jukebox's reports of the last 30 days before `nowUtc` (a FILETIME), newest
// first, with what the export takes (PlanWerExport). Folders whose names say they
// are another program's are passed over unread (ReportFolderMayBeTheJukeboxs);
// of the others, the newest kMaxReportFolders of all roots are read, each
// Report.wer once. A missing root is an empty one. Runs on a worker
// thread for at most `limit` (TimedOut).
ErrorReportsFacts GetErrorReports(const JukeboxPrograms& programs, const WerPlaces& places, std::uint64_t nowUtc,
                                  std::chrono::milliseconds limit, const std::function<void()>& whileWaiting = {});

// The records of the log `log` ("System", "Application") that `wanted` picks,
// read backwards from the newest to the first older than 30 days before
// `nowUtc`; the newest kIncidentsShown kept in local time, all counted. Runs on
// a worker thread for at most `limit` (TimedOut); a log that cannot be opened or
// read is Failed.
using EventFilter = bool (*)(const EventRecord&, const JukeboxPrograms&);
EventLogFacts GetEventLogFacts(const std::wstring& log, EventFilter wanted, const JukeboxPrograms& programs,
                               std::uint64_t nowUtc, std::chrono::milliseconds limit,
                               const std::function<void()>& whileWaiting = {});

// All of the above for the profile, each source with its deadline within `wait`.
IncidentsFacts GetIncidentsFacts(const JukeboxPrograms& programs, const ProbeWait& wait);

// Now, as a FILETIME (UTC).
std::uint64_t FileTimeNow();

}  // namespace vtx
