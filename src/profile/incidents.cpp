#include "profile/incidents.h"

#include <algorithm>
#include <cstdio>

#include "common/strings.h"
#include "profile/system_profile.h"

namespace vtx {
namespace {

// A value longer than this (a damaged record) is cut, so that its line stays a line.
constexpr std::size_t kLongestValue = 200;
// Files left out of the export that are named one by one.
constexpr std::size_t kNotTakenShown = 10;

std::string Shown(std::string text) {
    if (text.size() <= kLongestValue) return text;
    size_t cut = kLongestValue;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;  // not inside a character
    return text.substr(0, cut) + "...";
}

std::string TimeText(const std::optional<LocalTime>& time) {
    if (!time) return kUnreadable;
    char text[32];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d %02d:%02d:%02d", time->day, time->month, time->year, time->hour,
                  time->minute, time->second);
    return text;
}

std::string AndMore(std::size_t count) { return "... und " + std::to_string(count) + " weitere"; }

bool IsHexDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789abcdefABCDEF") == std::string_view::npos;
}

// "c0000005" -> "0xc0000005"; other texts as they are.
std::string ExceptionText(const std::string& code) { return IsHexDigits(code) ? "0x" + code : code; }

// "Absturz von P V in M MV, Ausnahme 0xC", with what is there; `complete` false
// adds that the source lacked some of it.
struct FailureParts {
    std::string kind, program, version, module, moduleVersion, exceptionCode;
    bool complete = true;
};

std::string FailureText(const FailureParts& p, const char* incomplete) {
    std::string text = p.kind + " von " + (p.program.empty() ? std::string(kUnreadable) : p.program);
    if (!p.version.empty()) text += " " + p.version;
    if (!p.module.empty()) text += " in " + p.module + (p.moduleVersion.empty() ? "" : " " + p.moduleVersion);
    if (!p.exceptionCode.empty()) text += ", Ausnahme " + ExceptionText(p.exceptionCode);
    if (!p.complete) text += incomplete;
    return Shown(text);
}

struct KindWords {
    std::string one, many;
};

KindWords KindOf(const std::string& eventType) {
    if (EqualsIgnoringAsciiCase(eventType, "APPCRASH")) return {"Absturz", "Abstürze"};
    if (StartsWithIgnoringAsciiCase(eventType, "AppHang")) return {"Hänger", "Hänger"};
    if (EqualsIgnoringAsciiCase(eventType, "BEX") || EqualsIgnoringAsciiCase(eventType, "BEX64"))
        return {"Pufferüberlauf", "Pufferüberläufe"};
    return {eventType, eventType};
}

std::string SignatureValue(const WerReport& report, int position) {
    if (position < 0 || static_cast<size_t>(position) >= report.signature.size()) return "";
    return report.signature[static_cast<size_t>(position)].value_or("");
}

std::string ReportText(const WerReport& report) {
    const WerSignatureLayout layout = SignatureLayoutOf(report.eventType);
    FailureParts parts{KindOf(report.eventType).one, ReportProgram(report), SignatureValue(report, layout.version),
                       SignatureValue(report, layout.module), SignatureValue(report, layout.moduleVersion),
                       SignatureValue(report, layout.exceptionCode)};
    for (int position : {layout.program, layout.version, layout.module, layout.moduleVersion, layout.exceptionCode})
        if (position >= 0 && SignatureValue(report, position).empty()) parts.complete = false;
    return FailureText(parts, " (Bericht unvollständig)");
}

std::string Missing(ProbeOutcome outcome) { return outcome == ProbeOutcome::TimedOut ? kNoAnswer : kNotDetermined; }

// "Velatrix-Tunes 6.exe: 3 Abstürze, 1 Hänger": the kinds in the order crash,
// hang, overrun, then the others as they come; the programs by name.
void ProgramCounts(std::vector<ProfileRow>& rows, const std::vector<ErrorReportFacts>& reports) {
    struct Count {
        KindWords words;
        std::size_t number = 0;
    };
    struct Program {
        std::string name;
        std::vector<Count> counts;
    };
    std::vector<Program> programs;
    for (const ErrorReportFacts& facts : reports) {
        const std::string name = ReportProgram(facts.report);
        auto program = std::find_if(programs.begin(), programs.end(),
                                    [&](const Program& known) { return EqualsIgnoringAsciiCase(known.name, name); });
        if (program == programs.end()) {
            programs.push_back({name, {{KindOf("APPCRASH")}, {KindOf("AppHang")}, {KindOf("BEX")}}});
            program = programs.end() - 1;
        }
        const KindWords kind = KindOf(facts.report.eventType);
        auto count = std::find_if(program->counts.begin(), program->counts.end(),
                                  [&](const Count& known) { return known.words.one == kind.one; });
        if (count == program->counts.end()) {
            program->counts.push_back({kind});
            count = program->counts.end() - 1;
        }
        ++count->number;
    }
    std::stable_sort(programs.begin(), programs.end(), [](const Program& a, const Program& b) { return a.name < b.name; });
    for (const Program& program : programs) {
        std::string text;
        for (const Count& count : program.counts) {
            if (count.number == 0) continue;
            if (!text.empty()) text += ", ";
            text += std::to_string(count.number) + " " + (count.number == 1 ? count.words.one : count.words.many);
        }
        rows.push_back({4, Shown(program.name.empty() ? std::string(kUnreadable) : program.name) + ":", Shown(text)});
    }
}

void ErrorReportRows(std::vector<ProfileRow>& rows, const ErrorReportsFacts& facts) {
    if (facts.outcome != ProbeOutcome::Answered) {
        rows.push_back({2, "Fehlerberichte:", Missing(facts.outcome)});
        return;
    }
    rows.push_back({2, "Fehlerberichte:", facts.reports.empty() ? "keine" : std::to_string(facts.reports.size())});
    ProgramCounts(rows, facts.reports);
    for (size_t i = 0; i < facts.reports.size() && i < kIncidentsShown; ++i)
        rows.push_back({4, TimeText(facts.reports[i].time), ReportText(facts.reports[i].report)});
    if (facts.reports.size() > kIncidentsShown) rows.push_back({4, AndMore(facts.reports.size() - kIncidentsShown), ""});
    for (size_t i = 0; i < facts.notTaken.size() && i < kNotTakenShown; ++i)
        rows.push_back({4, i == 0 ? "nicht übernommen:" : "", Shown(facts.notTaken[i])});
    if (facts.notTaken.size() > kNotTakenShown) rows.push_back({4, "", AndMore(facts.notTaken.size() - kNotTakenShown)});
}

std::string StringAt(const EventRecord& record, size_t index) {
    return index < record.strings.size() ? record.strings[index] : "";
}

// The text of a date or time the event log wrote, without the direction marks
// (U+200E, U+200F) some versions of Windows put around its parts.
std::string WithoutDirectionMarks(std::string text) {
    for (const char* mark : {"\xE2\x80\x8E", "\xE2\x80\x8F"})
        for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at)) text.erase(at, 3);
    return text;
}

std::string OrUnreadable(const std::string& text) { return text.empty() ? std::string(kUnreadable) : text; }

std::string SystemEventText(const EventRecord& record) {
    const unsigned id = record.Id();
    if (id == 6008) {
        if (record.strings.size() < 2) return "Unerwartet beendet";
        return Shown("Unerwartet beendet (zuvor am " + WithoutDirectionMarks(StringAt(record, 1)) + " um " +
                     WithoutDirectionMarks(StringAt(record, 0)) + ")");
    }
    if (id == 41) {
        std::string text = "Unerwartet beendet (Neustart ohne sauberes Herunterfahren";
        // The first datum is the stop code of a blue screen, in decimal; 0 without one.
        const std::string code = StringAt(record, 0);
        if (!code.empty() && code.size() <= 10 && code.find_first_not_of("0123456789") == std::string::npos &&
            std::stoull(code) != 0 && std::stoull(code) <= 0xFFFFFFFFull) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "0x%08llX", std::stoull(code));
            text += std::string(", Stoppcode ") + hex;
        }
        return text + ")";
    }
    if (id == 55 || id == 98)
        return Shown("Dateisystemfehler " + OrUnreadable(StringAt(record, 0)) +
                     (id == 55 ? " (NTFS, Struktur beschädigt)" : " (NTFS, Prüfung nötig)"));
    const char* detail = id == 7    ? "fehlerhafter Block"
                         : id == 11 ? "Controllerfehler"
                         : id == 51 ? "Fehler beim Auslagern"
                                    : "Vorgang wiederholt";
    return Shown("Datenträgerfehler " + OrUnreadable(StringAt(record, 0)) + " (" + detail + ")");
}

std::string ApplicationEventText(const EventRecord& record) {
    const char* incomplete = " (Eintrag unvollständig)";
    if (record.Id() == 1000)
        return FailureText({"Absturz", StringAt(record, 0), StringAt(record, 1), StringAt(record, 3), StringAt(record, 4),
                            StringAt(record, 6), record.strings.size() >= 7},
                           incomplete);
    return FailureText({"Hänger", StringAt(record, 0), StringAt(record, 1), "", "", "", record.strings.size() >= 2},
                       incomplete);
}

void EventLogRows(std::vector<ProfileRow>& rows, const char* label, const EventLogFacts& facts,
                  std::string (*text)(const EventRecord&)) {
    if (facts.outcome != ProbeOutcome::Answered) {
        rows.push_back({2, label, Missing(facts.outcome)});
        return;
    }
    const std::size_t count = std::max(facts.count, facts.events.size());
    rows.push_back({2, label, count == 0 ? "keine" : std::to_string(count)});
    for (size_t i = 0; i < facts.events.size() && i < kIncidentsShown; ++i)
        rows.push_back({4, TimeText(facts.events[i].time), text(facts.events[i].record)});
    const std::size_t listed = std::min(facts.events.size(), kIncidentsShown);
    if (count > listed) rows.push_back({4, AndMore(count - listed), ""});
}

bool InInstallFolder(const std::string& path, const std::string& installDir) {
    if (installDir.empty() || IsRootFolder(installDir)) return false;
    return path.size() > installDir.size() + 1 && StartsWithIgnoringAsciiCase(path, installDir) &&
           path[installDir.size()] == '\\';
}

bool IsJukeboxProgram(const std::string& name, const JukeboxPrograms& programs) {
    return !name.empty() && std::any_of(programs.exeNames.begin(), programs.exeNames.end(),
                                        [&](const std::string& exe) { return EqualsIgnoringAsciiCase(exe, name); });
}

bool SourceIs(const EventRecord& record, std::string_view source) { return EqualsIgnoringAsciiCase(record.source, source); }

}  // namespace

std::vector<ProfileRow> IncidentRows(const IncidentsFacts& facts) {
    std::vector<ProfileRow> rows;
    ErrorReportRows(rows, facts.errorReports);
    EventLogRows(rows, "Systemprotokoll:", facts.systemLog, SystemEventText);
    EventLogRows(rows, "Anwendungsprotokoll:", facts.applicationLog, ApplicationEventText);
    return rows;
}

std::string ReportProgram(const WerReport& report) {
    const std::string program = SignatureValue(report, SignatureLayoutOf(report.eventType).program);
    if (!program.empty()) return program;
    if (!report.appPath.empty()) return GetFileName(report.appPath, true);
    return report.appName;
}

bool IsJukeboxReport(const WerReport& report, const JukeboxPrograms& programs) {
    return IsJukeboxProgram(ReportProgram(report), programs) || InInstallFolder(report.appPath, programs.installDir);
}

bool IsSystemIncident(const EventRecord& record) {
    const unsigned id = record.Id();
    if (SourceIs(record, "EventLog")) return id == 6008;
    if (SourceIs(record, "Microsoft-Windows-Kernel-Power")) return id == 41;
    if (SourceIs(record, "disk")) return id == 7 || id == 11 || id == 51 || id == 153;
    if (SourceIs(record, "Ntfs") || SourceIs(record, "Microsoft-Windows-Ntfs"))
        return id == 55 ||
               (id == 98 && (record.eventType == kEventTypeError || record.eventType == kEventTypeWarning));
    return false;
}

bool IsJukeboxApplicationIncident(const EventRecord& record, const JukeboxPrograms& programs) {
    size_t pathAt = 0;
    if (SourceIs(record, "Application Error") && record.Id() == 1000)
        pathAt = 10;
    else if (SourceIs(record, "Application Hang") && record.Id() == 1002)
        pathAt = 5;
    else
        return false;
    return IsJukeboxProgram(StringAt(record, 0), programs) || InInstallFolder(StringAt(record, pathAt), programs.installDir);
}

std::uint64_t IncidentWindowStart(std::uint64_t nowUtc) {
    const std::uint64_t span = kIncidentDays * 86400 * kFileTimePerSecond;
    return nowUtc > span ? nowUtc - span : 0;
}

bool ReportFolderMayBeTheJukeboxs(const std::string& folder, const JukeboxPrograms& programs) {
    const size_t first = folder.find('_');
    const size_t second = first == std::string::npos ? std::string::npos : folder.find('_', first + 1);
    if (second == std::string::npos || second == first + 1) return true;
    const std::string_view named = std::string_view(folder).substr(first + 1, second - first - 1);
    const auto matches = [&](const std::string& program) {
        return StartsWithIgnoringAsciiCase(program, named) || StartsWithIgnoringAsciiCase(named, program);
    };
    return std::any_of(programs.exeNames.begin(), programs.exeNames.end(), matches) ||
           std::any_of(programs.installPrograms.begin(), programs.installPrograms.end(), matches);
}

bool IsJukeboxCrashDump(const std::string& name, const JukeboxPrograms& programs) {
    if (name.size() < 4 || !EqualsIgnoringAsciiCase(std::string_view(name).substr(name.size() - 4), ".dmp")) return false;
    const std::string stem = name.substr(0, name.size() - 4);
    const size_t dot = stem.find_last_of('.');
    if (dot == std::string::npos || dot + 1 == stem.size() ||
        stem.find_first_not_of("0123456789", dot + 1) != std::string::npos)
        return false;
    return IsJukeboxProgram(stem.substr(0, dot), programs);
}

void PlanWerExport(ErrorReportsFacts& facts, const std::vector<IncidentFile>& crashDumps) {
    struct Dump {
        const IncidentFile* file;
        std::string destination, shown;
    };
    std::vector<Dump> dumps;
    std::vector<std::string> folders;
    const std::string wer = std::string(kWerExportFolder) + "\\";
    for (const ErrorReportFacts& report : facts.reports) {
        // Two roots can hold folders of one name: the newer one is taken.
        if (std::any_of(folders.begin(), folders.end(),
                        [&](const std::string& known) { return EqualsIgnoringAsciiCase(known, report.folder); }))
            continue;
        folders.push_back(report.folder);
        facts.exportFiles.push_back({report.path + "\\Report.wer", wer + report.folder + "\\Report.wer"});
        for (const IncidentFile& dump : report.dumps)
            dumps.push_back({&dump, wer + report.folder + "\\" + dump.name, report.folder + "\\" + dump.name});
    }
    for (const IncidentFile& dump : crashDumps)
        dumps.push_back({&dump, wer + kCrashDumpsExportFolder + "\\" + dump.name, dump.name});
    std::stable_sort(dumps.begin(), dumps.end(),
                     [](const Dump& a, const Dump& b) { return a.file->writeTime > b.file->writeTime; });
    std::size_t taken = 0;
    for (const Dump& dump : dumps) {
        const std::string& name = dump.file->name;
        if (name.size() >= 5 && EqualsIgnoringAsciiCase(std::string_view(name).substr(name.size() - 5), ".hdmp"))
            facts.notTaken.push_back(dump.shown + " (Heap-Abbild)");
        else if (dump.file->size > kMaxDumpBytes)
            facts.notTaken.push_back(dump.shown + " (zu groß)");
        else if (taken == kMaxDumps)
            facts.notTaken.push_back(dump.shown + " (schon " + std::to_string(kMaxDumps) + " neuere Abbilder)");
        else {
            facts.exportFiles.push_back({dump.file->path, dump.destination});
            ++taken;
        }
    }
}

}  // namespace vtx
