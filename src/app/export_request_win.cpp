#include "app/export_request_win.h"

#include "profile/system_profile_facts_win.h"
#include "common/directories.h"
#include "export/virtual_store_win.h"

namespace vtx {

ExportRequest MakeExportRequest(const MainState& state, const std::string& chosenFolder, const std::string& skinName,
                                std::vector<std::string> logLines) {
    ExportRequest request;
    request.chosenFolder = chosenFolder;
    request.logLines = std::move(logLines);
    const SystemProfileFacts profile = GatherSystemProfileFacts(state);
    request.systemProfile = BuildSystemProfileLines(profile);
    if (profile.incidents) request.werFiles = profile.incidents->errorReports.exportFiles;
    request.installDir = InstallDir;
    request.dataDir = DataDir;
    request.skinFile = state.FileList[4];
    request.skinName = skinName;
    request.screenWidth = state.ScreenWidth;
    request.screenHeight = state.ScreenHeight;
    request.virtualStoreDir = VirtualStoreFolder(InstallDir);
    return request;
}

}  // namespace vtx
