#include "app/report_facts_win.h"

#include <windows.h>

#include "common/deadlines.h"
#include "common/directories.h"
#include "common/files_win.h"
#include "common/strings.h"
#include "common/unicode_win.h"
#include "report/drive_info_win.h"
#include "report/file_version_win.h"
#include "report/os_info_win.h"
#include "report/registry_win.h"
#include "report/system_info_win.h"
#include "version.h"

namespace vtx {
namespace {

std::optional<std::string> VersionIfPresent(const std::string& path) {
    if (!FileExists(path)) return std::nullopt;
    return GetFileVersionString(path);
}

long FilesIn(const std::string& folder) {
    long files = 0, folders = 0;
    return CountFiles(folder, "*.*", files, false, "*.*", folders);
}

}  // namespace

std::string ShortDateNow() {
    wchar_t buffer[128] = {};
    GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, buffer, 128);
    return NarrowBuffer(buffer, 128);
}

std::string LongTimeNow() {
    wchar_t buffer[128] = {};
    GetTimeFormatW(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, buffer, 128);
    return NarrowBuffer(buffer, 128);
}

ReportFacts GatherReportFacts(const MainState& state, const std::function<void()>& whileWaiting) {
    // The probes that talk to a service or a device share one budget, so that the
    // report ends in time whatever of them hangs.
    const DeadlineBudget budget(kReportProbeBudget);
    const ProbeWait wait{&budget, whileWaiting};
    ReportFacts facts;
    SystemInfo info;
    GetSystemInfo(info, wait);  // a failed step leaves its fields empty; the report shows that
    facts.totalMemory = info.TotalMemory;
    facts.freeMemory = info.FreeMemory;
    facts.clockSpeed = info.ClockSpeed;

    facts.date = ShortDateNow();
    facts.time = LongTimeNow();
    facts.osName = GetOSName();
    facts.isAdmin = IsAdmin();
    facts.screenWidth = state.ScreenWidth;
    facts.screenHeight = state.ScreenHeight;
    facts.jukeboxVersion = VersionIfPresent(state.FileList[2]);
    facts.setupVersion = VersionIfPresent(state.FileList[3]);
    facts.versionMajor = VTX_VERSION_MAJOR;
    facts.versionMinor = VTX_VERSION_MINOR;
    facts.versionRevision = VTX_VERSION_REVISION;

    for (size_t i = 0; i < state.FileList.size(); ++i)
        facts.files[i] = {state.FileList[i], FileExists(state.FileList[i])};
    // The report only asks; with an empty file name nothing is ever registered.
    for (size_t i = 0; i < state.ComponentList.size(); ++i)
        facts.components[i] = {state.ComponentList[i], IsClassRegistered(GetField(state.ComponentList[i], 1, ";"), "")};

    facts.adverts = FilesIn(DataDir + "\\Werbung");
    facts.covers = FilesIn(state.CoverDir);
    facts.folders = CountLines(state.ListDir + "\\Verzeichnisse.txt");
    facts.favourites = CountLines(state.ListDir + "\\Favoriten.txt");

    facts.debugInfo = state.DebugInfo;
    if (state.DebugInfo) {
        using DriveIdRoutine = std::string (*)(std::int16_t&, const ProbeWait&);
        const DriveIdRoutine routines[6] = {DriveIdSmartSerial, DriveIdSmartModel, DriveIdWmiSerial,
                                            DriveIdWmiModel,    DriveIdRegInstance, DriveIdRegDevice};
        for (size_t k = 0; k < 6; ++k) {
            std::int16_t status = 0;
            facts.driveIds[k].id = routines[k](status, wait);
            facts.driveIds[k].status = status;
        }
    }
    return facts;
}

std::vector<std::string> GatherReportLines(const MainState& state, const std::function<void()>& whileWaiting) {
    return BuildReportLines(GatherReportFacts(state, whileWaiting));
}

}  // namespace vtx
