#include "profile/system_profile_facts_win.h"

#include <windows.h>

#include "app/report_facts_win.h"
#include "common/deadlines.h"
#include "common/directories.h"
#include "common/strings.h"
#include "common/unicode_win.h"
#include "export/virtual_store_win.h"
#include "profile/drivers_win.h"
#include "profile/incidents_win.h"
#include "profile/all_day_win.h"
#include "profile/profile_devices_win.h"
#include "profile/profile_drives_win.h"
#include "profile/profile_jukebox_win.h"
#include "profile/profile_sound_win.h"
#include "profile/profile_windows_win.h"
#include "version.h"

namespace vtx {
namespace {

// A separator of the user's number format, as the report's byte sizes use it.
std::string UserSeparator(LCTYPE type, const char* fallback) {
    wchar_t buffer[16] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, static_cast<int>(std::size(buffer))) <= 0) return fallback;
    return NarrowBuffer(buffer, std::size(buffer));
}

// The programs whose crashes and hangs are the jukebox's: the two the report
// checks, VTX Diagnostic under its own name and as it runs, and whatever lies in
// the install folder.
JukeboxPrograms JukeboxProgramsOf(const MainState& state, const ToolFacts& tool) {
    JukeboxPrograms programs;
    programs.exeNames = {GetFileName(state.FileList[2], true), GetFileName(state.FileList[3], true), kToolExeName};
    if (tool.path) programs.exeNames.push_back(GetFileName(*tool.path, true));
    programs.installDir = InstallDir;
    return programs;
}

}  // namespace

SystemProfileFacts GatherSystemProfileFacts(const MainState& state, const std::function<void()>& whileWaiting) {
    // The probes that may block share one budget, so that the profile ends in time
    // whatever of them hangs.
    const DeadlineBudget budget(kProfileProbeBudget);
    const ProbeWait wait{&budget, whileWaiting};
    SystemProfileFacts facts;
    facts.windows = GetWindowsFacts();
    facts.tool = GetToolFacts(VTX_VERSION_TEXT);
    facts.displays = GetDisplaysFacts(kProfileDisplaysDeadline, wait);
    facts.sound = GetSoundFacts(kProfileSoundDeadline, wait);
    facts.ports = GetPortsFacts();
    facts.devices.adapters = GetDisplayAdaptersFacts(kProfileDevicesDeadline, wait);
    facts.devices.touch = GetTouchFacts(kProfileDevicesDeadline, wait);
    facts.devices.sound = GetSoundDevicesFacts(kProfileDevicesDeadline, wait);
    facts.devices.problems = GetProblemDevicesFacts(kProfileDevicesDeadline, {}, wait);
    facts.decimalSeparator = UserSeparator(LOCALE_SDECIMAL, ".");
    facts.groupSeparator = UserSeparator(LOCALE_STHOUSAND, ",");
    facts.drives = GetDriveFacts({{"Installationsordner", InstallDir},
                                  {"Datenordner", DataDir},
                                  {"Coverordner", state.CoverDir},
                                  {"Listenordner", state.ListDir}},
                                 kProfileDriveDeadline, wait);
    facts.jukebox.processes = FindProcesses(kJukeboxExeName);
    facts.jukebox.virtualStoreFiles = CountVirtualStoreFiles(InstallDir);
    facts.time = GetTimeFacts();
    facts.time.date = ShortDateNow();
    facts.time.time = LongTimeNow();
    facts.allDay = GetAllDayFacts(facts.windows, wait);
    facts.incidents = GetIncidentsFacts(JukeboxProgramsOf(state, facts.tool), wait);
    return facts;
}

std::vector<std::string> GatherSystemProfileLines(const MainState& state, const std::function<void()>& whileWaiting) {
    return BuildSystemProfileLines(GatherSystemProfileFacts(state, whileWaiting));
}

}  // namespace vtx
