// What an export of the running installation is asked to do: the same for the
// button "Fehlerbericht erstellen" and for "/export FOLDER".
#pragma once
#include <string>
#include <vector>

#include "app/startup_win.h"
#include "export/environment_export_win.h"

namespace vtx {

// The export into `chosenFolder` (its "VTX Umgebung" is made inside) of the
// folders and screen size fixed at start-up, the skin file of FileList, the skin
// folder named `skinName`, the report `logLines` and a system profile gathered now.
ExportRequest MakeExportRequest(const MainState& state, const std::string& chosenFolder, const std::string& skinName,
                                std::vector<std::string> logLines);

}  // namespace vtx
