// The fixture of the end-to-end tests that run the tool of a fresh sample
// installation: the sample in a temporary folder of its own, the tool in its
// "Tools" folder.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "e2e/driver_console_win.h"
#include "fixtures/sample_install_win.h"
#include "fixtures/temp_folder_win.h"

namespace vtx::testing {

class SampleToolTest : public ::testing::Test {
protected:
    explicit SampleToolTest(const char* label) : root_(label) {}

    void SetUp() override {
        sample_ = SampleForThisMachine(root_ / "Velatrix-Tunes 6");
        std::string error;
        ASSERT_TRUE(MakeSampleInstallation(sample_, error)) << error;
        exe_ = sample_.installDir + "\\Tools\\VTXDiagnostic.exe";
    }

    // The tool run with `arguments` in `folder` ("" = the tool's own folder).
    ToolRun Run(const std::string& arguments, const std::string& folder = "") { return RunTool(exe_, arguments, folder); }

    TempFolder root_;
    SampleInstallation sample_;
    std::string exe_;
};

}  // namespace vtx::testing
