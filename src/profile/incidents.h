// What happened on the machine in the last 30 days, as support asks for it when
// "the jukebox was gone": the jukebox's error reports (crashes, hangs), the
// System log's unexpected shutdowns and disk and file-system errors, and the
// Application log's crashes and hangs of the jukebox's programs. Facts in,
// profile rows out; which report or record belongs to the jukebox and what the
// export takes is decided here too. Portable.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "profile/event_records.h"
#include "profile/probe_outcome.h"
#include "profile/profile_row.h"
#include "profile/wer_report.h"

namespace vtx {

inline constexpr const char* kIncidentsHeading = "Vorfälle (letzte 30 Tage):";
// How far back the profile and the export look.
inline constexpr std::uint64_t kIncidentDays = 30;
// Entries listed per source; the rest is counted.
inline constexpr std::size_t kIncidentsShown = 20;
// The report folders looked at, newest first.
inline constexpr std::size_t kMaxReportFolders = 2000;
// Dumps the export takes: each at most this large, at most this many, newest first.
inline constexpr std::uint64_t kMaxDumpBytes = 16ull * 1024 * 1024;
inline constexpr std::size_t kMaxDumps = 5;
// The export's folder of the error reports and, below it, of the crash dumps.
inline constexpr const char* kWerExportFolder = "WER";
inline constexpr const char* kCrashDumpsExportFolder = "CrashDumps";
inline constexpr const char* kUnreadable = "unlesbar";

// 100 ns units of a FILETIME per second, and the FILETIME of 1970-01-01.
inline constexpr std::uint64_t kFileTimePerSecond = 10000000;
inline constexpr std::uint64_t kFileTimeOfUnixEpoch = 116444736000000000ull;

struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// The jukebox's programs: a report or record is the jukebox's when its program
// is one of `exeNames` (the jukebox, its setup tool, VTX Diagnostic) or its
// program's path lies in `installDir` (ignored when "" or a drive's root).
struct JukeboxPrograms {
    std::vector<std::string> exeNames;
    std::string installDir;
    // The programs found in the install folder (and the folders in it), by file
    // name: only for ReportFolderMayBeTheJukeboxs.
    std::vector<std::string> installPrograms;
};

// One file of a report folder or of the crash dump folder.
struct IncidentFile {
    std::string path;  // full path
    std::string name;  // its name
    std::uint64_t size = 0;
    std::uint64_t writeTime = 0;  // FILETIME, UTC
};

struct ErrorReportFacts {
    std::string folder;  // the report folder's name
    std::string path;    // its full path
    std::uint64_t utc = 0;           // EventTime, else the folder's last write (FILETIME)
    std::optional<LocalTime> time;   // the EventTime in local time; empty: unreadable
    WerReport report;
    std::vector<IncidentFile> dumps;  // *.mdmp and *.hdmp in the folder
};

// A file the export takes: from `source` to `destination`, a path relative to
// the export folder ("WER\<report folder>\Report.wer").
struct ExportedFile {
    std::string source, destination;
};

struct ErrorReportsFacts {
    ProbeOutcome outcome = ProbeOutcome::Failed;
    std::vector<ErrorReportFacts> reports;  // the jukebox's of the last 30 days, newest first
    std::vector<ExportedFile> exportFiles;  // what the export takes of them
    std::vector<std::string> notTaken;      // "Velatrix-Tunes 6.exe.4312.dmp (zu groß)"
};

struct LoggedEvent {
    std::optional<LocalTime> time;  // empty: unreadable
    EventRecord record;
};

struct EventLogFacts {
    ProbeOutcome outcome = ProbeOutcome::Failed;
    std::vector<LoggedEvent> events;  // at most kIncidentsShown, newest first
    std::size_t count = 0;            // all wanted records of the last 30 days
};

struct IncidentsFacts {
    ErrorReportsFacts errorReports;
    EventLogFacts systemLog, applicationLog;
};

// The section's rows, after its heading: the label as it stands (with its colon
// where it has one), the value in the value column ("" for a label alone).
std::vector<ProfileRow> IncidentRows(const IncidentsFacts& facts);

// The program a report is about: the program position of its kind, else the
// file name of AppPath, else AppName; "" when it names none.
std::string ReportProgram(const WerReport& report);
bool IsJukeboxReport(const WerReport& report, const JukeboxPrograms& programs);

// The System log's records the profile lists: EventLog 6008, Kernel-Power 41,
// disk 7, 11, 51 and 153, Ntfs 55 and 98 (98 as error or warning only: as
// information it says the volume is healthy).
bool IsSystemIncident(const EventRecord& record);
// The Application log's "Application Error" 1000 and "Application Hang" 1002 of
// the jukebox's programs (the program is the first insertion string).
bool IsJukeboxApplicationIncident(const EventRecord& record, const JukeboxPrograms& programs);

// The start of the window looked at, as a FILETIME.
std::uint64_t IncidentWindowStart(std::uint64_t nowUtc);

// Whether a report folder's name leaves open that its report is the jukebox's,
// so that it is worth reading. Windows names the folders
// "<Kind>_<program>_<hash>_...", the program's file name cut to a few dozen
// characters: a folder whose second part is neither the start of one of the
// jukebox's programs (exeNames, installPrograms) nor starts with one is another
// program's. Names of any other form may be anyone's (true).
bool ReportFolderMayBeTheJukeboxs(const std::string& folder, const JukeboxPrograms& programs);

// The CrashDumps folder's dump of one of the jukebox's programs:
// "<program>.<pid>.dmp".
bool IsJukeboxCrashDump(const std::string& name, const JukeboxPrograms& programs);

// What the export takes: every report's Report.wer into WER\<folder>\, the
// newest kMaxDumps dumps of at most kMaxDumpBytes (the reports' *.mdmp beside
// their Report.wer, `crashDumps` into WER\CrashDumps\), never a heap dump
// (*.hdmp); the others named in `notTaken`. Fills exportFiles and notTaken.
void PlanWerExport(ErrorReportsFacts& facts, const std::vector<IncidentFile>& crashDumps);

}  // namespace vtx
