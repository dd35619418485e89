// Benchmark of the report: the time of each probe on its own and of the whole
// gathering of the facts plus the lines (what BuildReport does between showing and
// closing the wait window), with the debug section. The whole should cost no more
// than 1.2 x the sum of its probes: no work done twice, no repeated connections,
// and the deadlines of the probes that talk to WMI and the drive (each on a worker
// thread of its own, sharing the report's budget) cost nothing while they answer.
// Median of 5 rounds after one untimed round; the order of whole and probes
// alternates from round to round. Runs on the sample installation whose folder is
// given (default: the one scripts/common.sh lays out).
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/report_facts_win.h"
#include "app/startup_win.h"
#include "bench/bench_support_win.h"
#include "common/directories.h"
#include "common/files_win.h"
#include "common/strings.h"
#include "common/unicode_win.h"
#include "report/drive_info_win.h"
#include "report/file_version_win.h"
#include "report/os_info_win.h"
#include "report/registry_win.h"
#include "report/report_lines.h"
#include "report/system_info_win.h"

namespace vtx::bench {
namespace {

class SilentPrompts final : public Prompts {
public:
    int Message(HWND, const std::string&, const std::string&, UINT) override { return IDOK; }
};

struct Probe {
    const char* name;
    std::function<void()> run;
};

int Main(const std::string& installDir) {
    StartupInputs inputs = GatherStartupInputs();
    inputs.toolFolder = installDir + "\\Tools";
    SilentPrompts prompts;
    MainState state;
    FormLoad(inputs, prompts, nullptr, state);
    state.DebugInfo = true;

    const auto count = [](const std::string& folder) {
        long files = 0, folders = 0;
        CountFiles(folder, "*.*", files, false, "*.*", folders);
    };
    const std::vector<Probe> probes = {
        {"GetSystemInfo (memory, clock: WMI)", [] { SystemInfo info; GetSystemInfo(info); }},
        {"date and time", [] { ShortDateNow(); LongTimeNow(); }},
        {"GetOSName", [] { GetOSName(); }},
        {"IsAdmin", [] { IsAdmin(); }},
        {"file versions (2 programs)",
         [&] {
             for (int i : {2, 3})
                 if (FileExists(state.FileList[i])) GetFileVersionString(state.FileList[i]);
         }},
        {"FileExists (8 files)", [&] { for (const auto& file : state.FileList) FileExists(file); }},
        {"IsClassRegistered (10 components)",
         [&] { for (const auto& entry : state.ComponentList) IsClassRegistered(GetField(entry, 1, ";"), ""); }},
        {"CountFiles (adverts, covers)", [&] { count(DataDir + "\\Werbung"); count(state.CoverDir); }},
        {"CountLines (2 lists)",
         [&] { CountLines(state.ListDir + "\\Verzeichnisse.txt"); CountLines(state.ListDir + "\\Favoriten.txt"); }},
        {"drive IDs (SMART, WMI, registry)",
         [] {
             std::int16_t status = 0;
             for (auto routine : {DriveIdSmartSerial, DriveIdSmartModel, DriveIdWmiSerial, DriveIdWmiModel,
                                  DriveIdRegInstance, DriveIdRegDevice})
                 routine(status, {});
         }},
    };
    const auto whole = [&] { BuildReportLines(GatherReportFacts(state)); };

    for (const Probe& probe : probes) probe.run();  // untimed: first loads and connections
    whole();
    std::vector<std::vector<double>> probeTimes(probes.size());
    std::vector<double> wholeTimes;
    for (int round = 0; round < 5; ++round) {
        if (round % 2 == 0) wholeTimes.push_back(Timed([] {}, whole));
        for (size_t i = 0; i < probes.size(); ++i) probeTimes[i].push_back(Timed([] {}, probes[i].run));
        if (round % 2 == 1) wholeTimes.push_back(Timed([] {}, whole));
    }

    double sum = 0;
    for (size_t i = 0; i < probes.size(); ++i) {
        const double median = Median(probeTimes[i]);
        sum += median;
        std::printf("| probe: %s | %s | | | | |\n", probes[i].name, Ms(median).c_str());
    }
    const double w = Median(wholeTimes);
    Row("Report build with debug section (median of 5)", Ms(w), Ms(sum) + " (sum of the probes' medians)", w / sum,
        "<= 1.2", w / sum <= 1.2);
    return 0;
}

}  // namespace
}  // namespace vtx::bench

int wmain(int argc, wchar_t** argv) {
    return vtx::bench::Main(argc > 1 ? vtx::Narrow(argv[1]) : "C:\\Program Files (x86)\\Velatrix-Tunes 6");
}
