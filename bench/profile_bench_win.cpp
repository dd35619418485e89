// Benchmark of the system profile with a crowded error report queue: the whole
// profile (facts and lines, as "/system" gathers it) with 3,000 report folders of
// other programs in %ProgramData%\...\WER\ReportQueue against the same profile
// with none. The walk looks at the newest 2,000 folders and reads each one's
// Report.wer once; the whole profile should cost at most 2 x the profile without
// them. The folders are made beforehand by bench/run.sh (from Linux: under Wine
// every new entry of a large folder costs a search of the whole folder) in a
// folder beside the queue, which this program moves into place for the measured
// rounds and back for the baseline. Median of 5 rounds after one untimed round of
// each; the order alternates from round to round.
#include <windows.h>

#include <string>
#include <vector>

#include "app/startup_win.h"
#include "bench/bench_support_win.h"
#include "common/unicode_win.h"
#include "profile/system_profile_facts_win.h"

namespace vtx::bench {
namespace {

class SilentPrompts final : public Prompts {
public:
    int Message(HWND, const std::string&, const std::string&, UINT) override { return IDOK; }
};

int Main(const std::string& installDir, const std::string& queue, const std::string& prepared) {
    StartupInputs inputs = GatherStartupInputs();
    inputs.toolFolder = installDir + "\\Tools";
    SilentPrompts prompts;
    MainState state;
    FormLoad(inputs, prompts, nullptr, state);
    const std::wstring wideQueue = Widen(queue), widePrepared = Widen(prepared);
    if (GetFileAttributesW(wideQueue.c_str()) != INVALID_FILE_ATTRIBUTES) {
        std::printf("| Profile with 3,000 foreign error reports | %s already exists | | | | MISSED |\n", queue.c_str());
        return 1;
    }
    const auto crowded = [&](bool on) {
        return on ? MoveFileW(widePrepared.c_str(), wideQueue.c_str()) != FALSE
                  : MoveFileW(wideQueue.c_str(), widePrepared.c_str()) != FALSE;
    };
    size_t lines = 0;
    const auto profile = [&] { lines = GatherSystemProfileLines(state).size(); };

    profile();  // untimed: first loads
    if (!crowded(true)) {
        std::printf("| Profile with 3,000 foreign error reports | %s could not be moved into place | | | | MISSED |\n",
                    prepared.c_str());
        return 1;
    }
    profile();
    crowded(false);
    std::vector<double> with, without;
    for (int round = 0; round < 5; ++round) {
        if (round % 2 == 0) without.push_back(Timed([] {}, profile));
        crowded(true);
        with.push_back(Timed([] {}, profile));
        crowded(false);
        if (round % 2 == 1) without.push_back(Timed([] {}, profile));
    }
    const double w = Median(with), b = Median(without);
    Row("Profile with 3,000 foreign error reports in the queue (median of 5)", Ms(w), Ms(b) + " (profile without them)",
        w / b, "<= 2.0", w / b <= 2.0);
    return lines > 0 ? 0 : 1;
}

}  // namespace
}  // namespace vtx::bench

int wmain(int argc, wchar_t** argv) {
    const std::string queue = "C:\\ProgramData\\Microsoft\\Windows\\WER\\ReportQueue";
    return vtx::bench::Main(argc > 1 ? vtx::Narrow(argv[1]) : "C:\\Program Files (x86)\\Velatrix-Tunes 6",
                            argc > 2 ? vtx::Narrow(argv[2]) : queue, argc > 3 ? vtx::Narrow(argv[3]) : queue + ".vtxbench");
}
