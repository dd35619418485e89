// Runs a fuzz target (the settings reader's, the Report.wer reader's, the event
// record decoder's) over every kept input: the crashes and broken
// properties libFuzzer once found, and the seeds of each file shape, so none of
// them comes back. Needs no libFuzzer; the native build runs it with the sanitizers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

// Each fuzz target's replay names its own suite.
#ifndef VTX_FUZZ_SUITE
#define VTX_FUZZ_SUITE SettingsFuzzCorpus
#endif

TEST(VTX_FUZZ_SUITE, EveryKeptInputRunsClean) {
    std::vector<std::filesystem::path> inputs;
    for (const auto& entry : std::filesystem::directory_iterator(VTX_FUZZ_CORPUS))
        if (entry.is_regular_file()) inputs.push_back(entry.path());
    std::sort(inputs.begin(), inputs.end());
    ASSERT_FALSE(inputs.empty()) << VTX_FUZZ_CORPUS;

    for (const auto& path : inputs) {
        std::ifstream in(path, std::ios::binary);
        ASSERT_TRUE(in) << path;
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        // A broken property aborts the process: the last name printed is the culprit.
        std::fprintf(stderr, "%s\n", path.filename().string().c_str());
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
}

}  // namespace
