#include "profile/incidents_win.h"

#include <windows.h>

#include <algorithm>

#include "common/deadlines.h"
#include "common/files_win.h"
#include "common/handles_win.h"
#include "common/long_path.h"
#include "common/strings.h"
#include "common/unicode_win.h"
#include "profile/profile_probe.h"

namespace vtx {
namespace {

struct EventLogTraits {  // OpenEventLog: NULL
    using Type = HANDLE;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { CloseEventLog(h); }
};
using EventLogHandle = UniqueHandle<EventLogTraits>;

// What ReadEventLogW is given at first; a record larger than this grows it.
constexpr DWORD kEventBufferBytes = 64 * 1024;

std::uint64_t FileTimeValue(const FILETIME& time) {
    return static_cast<std::uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

std::optional<LocalTime> LocalTimeOf(std::uint64_t utc) {
    FILETIME fileTime{static_cast<DWORD>(utc & 0xFFFFFFFF), static_cast<DWORD>(utc >> 32)};
    SYSTEMTIME system{}, local{};
    if (!FileTimeToSystemTime(&fileTime, &system) || !SystemTimeToTzSpecificLocalTime(nullptr, &system, &local))
        return std::nullopt;
    return LocalTime{local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
}

struct FoundEntry {
    std::string name;
    std::uint64_t size = 0, writeTime = 0;
};

// The entries of `folder` matching `pattern`: its subfolders or its files, those
// whose name `keep` (if any) takes. False when the folder cannot be listed (a
// missing one gives true and nothing).
bool ListFolder(const std::string& folder, const wchar_t* pattern, bool folders, std::vector<FoundEntry>& found,
                const std::function<bool(const std::string&)>& keep = {}) {
    WIN32_FIND_DATAW data{};
    FindHandle find(FindFirstFileExW((WidenPath(folder) + L"\\" + pattern).c_str(), FindExInfoBasic, &data,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_NO_MORE_FILES;
    }
    do {
        const bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (isFolder != folders) continue;
        if (isFolder && (wcscmp(data.cFileName, L".") == 0 || wcscmp(data.cFileName, L"..") == 0)) continue;
        std::string name = NarrowBuffer(data.cFileName, MAX_PATH);
        if (keep && !keep(name)) continue;
        found.push_back({std::move(name), static_cast<std::uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow,
                         FileTimeValue(data.ftLastWriteTime)});
    } while (FindNextFileW(find.get(), &data));
    return true;
}

// At most kWerReportReadLimit bytes of the file; empty when it cannot be read.
std::optional<std::string> ReadBounded(const std::string& path) {
    FileHandle file(CreateFileW(WidenPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    std::string bytes(kWerReportReadLimit, '\0');
    DWORD total = 0;
    while (total < bytes.size()) {
        DWORD read = 0;
        if (!ReadFile(file.get(), bytes.data() + total, static_cast<DWORD>(bytes.size() - total), &read, nullptr))
            return std::nullopt;
        if (read == 0) break;
        total += read;
    }
    bytes.resize(total);
    return bytes;
}

std::string AnsiToUtf8(std::string_view bytes) { return FromAnsi(bytes); }

bool EndsWithIgnoringAsciiCase(const std::string& name, std::string_view end) {
    return name.size() >= end.size() && EqualsIgnoringAsciiCase(std::string_view(name).substr(name.size() - end.size()), end);
}

// The programs in `installDir` and in the folders directly in it (Tools, Module).
std::vector<std::string> InstallPrograms(const std::string& installDir) {
    std::vector<std::string> names;
    if (installDir.empty() || IsRootFolder(installDir)) return names;
    std::vector<FoundEntry> folders, programs;
    ListFolder(installDir, L"*", true, folders);
    ListFolder(installDir, L"*.exe", false, programs);
    for (const FoundEntry& folder : folders) ListFolder(installDir + "\\" + folder.name, L"*.exe", false, programs);
    for (const FoundEntry& program : programs) names.push_back(program.name);
    return names;
}

ErrorReportsFacts WalkErrorReports(JukeboxPrograms programs, const WerPlaces& places, std::uint64_t nowUtc) {
    ErrorReportsFacts facts;
    programs.installPrograms = InstallPrograms(programs.installDir);
    const std::uint64_t since = IncidentWindowStart(nowUtc);
    struct Candidate {
        std::string root;
        FoundEntry folder;
    };
    std::vector<Candidate> candidates;
    bool listed = places.reportRoots.empty();
    for (const std::string& root : places.reportRoots) {
        std::vector<FoundEntry> folders;
        // Another program's folder by its name: never looked at again, its report not read.
        if (!ListFolder(root, L"*", true, folders,
                        [&](const std::string& name) { return ReportFolderMayBeTheJukeboxs(name, programs); }))
            continue;
        listed = true;
        for (FoundEntry& folder : folders) candidates.push_back({root, std::move(folder)});
    }
    if (!listed) return facts;  // Failed: no root could be read
    // The newest of the folders that may be the jukebox's; one last written before
    // the window holds no report of it.
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) { return a.folder.writeTime > b.folder.writeTime; });
    if (candidates.size() > kMaxReportFolders) candidates.resize(kMaxReportFolders);
    for (const Candidate& candidate : candidates) {
        if (candidate.folder.writeTime < since) break;
        const std::string path = candidate.root + "\\" + candidate.folder.name;
        const auto bytes = ReadBounded(path + "\\Report.wer");
        if (!bytes) continue;
        auto report = ParseWerReport(*bytes, AnsiToUtf8);
        if (!report || !IsJukeboxReport(*report, programs)) continue;
        ErrorReportFacts found;
        found.folder = candidate.folder.name;
        found.path = path;
        found.utc = report->eventTime.value_or(candidate.folder.writeTime);
        if (found.utc < since) continue;
        if (report->eventTime) found.time = LocalTimeOf(*report->eventTime);
        found.report = std::move(*report);
        std::vector<FoundEntry> files;
        ListFolder(path, L"*", false, files);
        for (const FoundEntry& file : files)
            if (EndsWithIgnoringAsciiCase(file.name, ".mdmp") || EndsWithIgnoringAsciiCase(file.name, ".hdmp"))
                found.dumps.push_back({path + "\\" + file.name, file.name, file.size, file.writeTime});
        facts.reports.push_back(std::move(found));
    }
    std::stable_sort(facts.reports.begin(), facts.reports.end(),
                     [](const ErrorReportFacts& a, const ErrorReportFacts& b) { return a.utc > b.utc; });

    std::vector<IncidentFile> crashDumps;
    std::vector<FoundEntry> files;
    if (!places.crashDumps.empty()) ListFolder(places.crashDumps, L"*.dmp", false, files);
    for (const FoundEntry& file : files)
        if (file.writeTime >= since && IsJukeboxCrashDump(file.name, programs))
            crashDumps.push_back({places.crashDumps + "\\" + file.name, file.name, file.size, file.writeTime});
    PlanWerExport(facts, crashDumps);
    facts.outcome = ProbeOutcome::Answered;
    return facts;
}

EventLogFacts ReadLogBackwards(const std::wstring& log, EventFilter wanted, const JukeboxPrograms& programs,
                           std::uint64_t nowUtc) {
    EventLogFacts facts;
    EventLogHandle handle(OpenEventLogW(nullptr, log.c_str()));
    if (!handle) return facts;  // Failed
    const std::uint64_t since = IncidentWindowStart(nowUtc);
    std::string buffer(kEventBufferBytes, '\0');
    bool readAny = false;
    for (;;) {
        DWORD read = 0, needed = 0;
        if (!ReadEventLogW(handle.get(), EVENTLOG_SEQUENTIAL_READ | EVENTLOG_BACKWARDS_READ, 0, buffer.data(),
                           static_cast<DWORD>(buffer.size()), &read, &needed)) {
            const DWORD error = GetLastError();
            if (error == ERROR_INSUFFICIENT_BUFFER && needed > buffer.size()) {
                buffer.resize(needed);
                continue;
            }
            // The end of the log; any other error ends the reading with what was read.
            if (error != ERROR_HANDLE_EOF && !readAny) return facts;
            break;
        }
        const EventRecords records = ParseEventLogRecords(std::string_view(buffer.data(), std::min<size_t>(read, buffer.size())));
        bool older = false;
        readAny = true;
        for (const EventRecord& record : records.records) {
            const std::uint64_t utc = static_cast<std::uint64_t>(record.timeGenerated) * kFileTimePerSecond + kFileTimeOfUnixEpoch;
            if (utc < since) {
                older = true;
                break;
            }
            if (!wanted(record, programs)) continue;
            ++facts.count;
            if (facts.events.size() < kIncidentsShown) facts.events.push_back({LocalTimeOf(utc), record});
        }
        if (older || records.damaged || records.records.empty()) break;
    }
    facts.outcome = ProbeOutcome::Answered;
    return facts;
}

bool SystemIncident(const EventRecord& record, const JukeboxPrograms&) { return IsSystemIncident(record); }

}  // namespace

std::uint64_t FileTimeNow() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return FileTimeValue(now);
}

WerPlaces WerPlacesOfThisMachine() {
    WerPlaces places;
    for (const GUID* id : {&FOLDERID_ProgramData, &FOLDERID_LocalAppData}) {
        const std::string base = KnownFolderPath(*id);
        if (base.empty()) continue;
        places.reportRoots.push_back(base + "\\Microsoft\\Windows\\WER\\ReportArchive");
        places.reportRoots.push_back(base + "\\Microsoft\\Windows\\WER\\ReportQueue");
    }
    const std::string local = KnownFolderPath(FOLDERID_LocalAppData);
    if (!local.empty()) places.crashDumps = local + "\\CrashDumps";
    return places;
}

ErrorReportsFacts GetErrorReports(const JukeboxPrograms& programs, const WerPlaces& places, std::uint64_t nowUtc,
                                  std::chrono::milliseconds limit, const std::function<void()>& whileWaiting) {
    return ProbeWithDeadline<ErrorReportsFacts>(
        limit, [programs, places, nowUtc] { return WalkErrorReports(programs, places, nowUtc); }, {}, whileWaiting);
}

EventLogFacts GetEventLogFacts(const std::wstring& log, EventFilter wanted, const JukeboxPrograms& programs,
                               std::uint64_t nowUtc, std::chrono::milliseconds limit,
                               const std::function<void()>& whileWaiting) {
    return ProbeWithDeadline<EventLogFacts>(
        limit, [log, wanted, programs, nowUtc] { return ReadLogBackwards(log, wanted, programs, nowUtc); }, {}, whileWaiting);
}

IncidentsFacts GetIncidentsFacts(const JukeboxPrograms& programs, const ProbeWait& wait) {
    IncidentsFacts facts;
    const std::uint64_t now = FileTimeNow();
    facts.errorReports = GetErrorReports(programs, WerPlacesOfThisMachine(), now,
                                         wait.Limit(kProfileErrorReportsDeadline), wait.whileWaiting);
    facts.systemLog = GetEventLogFacts(L"System", SystemIncident, programs, now, wait.Limit(kProfileEventLogDeadline),
                                       wait.whileWaiting);
    facts.applicationLog = GetEventLogFacts(L"Application", IsJukeboxApplicationIncident, programs, now,
                                            wait.Limit(kProfileEventLogDeadline), wait.whileWaiting);
    return facts;
}

}  // namespace vtx
