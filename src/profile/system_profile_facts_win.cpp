#include "profile/system_profile_facts_win.h"

#include <windows.h>

#include "app/report_facts_win.h"
#include "common/deadlines.h"
#include "common/directories.h"
#include "common/unicode_win.h"
#include "export/virtual_store_win.h"
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

}  // namespace

SystemProfileFacts GatherSystemProfileFacts(const MainState& state) {
    SystemProfileFacts facts;
    facts.windows = GetWindowsFacts();
    facts.tool = GetToolFacts(VTX_VERSION_TEXT);
    facts.displays = GetDisplaysFacts(kProfileDisplaysDeadline);
    facts.sound = GetSoundFacts(kProfileSoundDeadline);
    facts.ports = GetPortsFacts();
    facts.decimalSeparator = UserSeparator(LOCALE_SDECIMAL, ".");
    facts.groupSeparator = UserSeparator(LOCALE_STHOUSAND, ",");
    facts.drives = GetDriveFacts({{"Installationsordner", InstallDir},
                                  {"Datenordner", DataDir},
                                  {"Coverordner", state.CoverDir},
                                  {"Listenordner", state.ListDir}},
                                 kProfileDriveDeadline);
    facts.jukebox.processes = FindProcesses(kJukeboxExeName);
    facts.jukebox.virtualStoreFiles = CountVirtualStoreFiles(InstallDir);
    facts.time = GetTimeFacts();
    facts.time.date = ShortDateNow();
    facts.time.time = LongTimeNow();
    facts.allDay = GetAllDayFacts(facts.windows, kProfilePowerDeadline, kProfileAutostartDeadline);
    return facts;
}

std::vector<std::string> GatherSystemProfileLines(const MainState& state) {
    return BuildSystemProfileLines(GatherSystemProfileFacts(state));
}

}  // namespace vtx
