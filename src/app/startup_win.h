// Start-up: fixes the shared directories, warns when the tool is not in the
// jukebox's Tools folder, reads SetUp.ini and the skin name, fills the fixed lists.
#pragma once
#include <windows.h>

#include <array>
#include <string>

#include "app/prompts_win.h"

namespace vtx {

// The members of the main window that start-up sets and the report reads.
struct MainState {
    std::string SystemDir;
    std::string CoverDir;
    std::string ListDir;
    int ScreenWidth = 0;
    int ScreenHeight = 0;
    std::array<std::string, 8> FileList;
    std::array<std::string, 10> ComponentList;
    bool DebugInfo = false;
};

// What start-up takes from the machine; tests make their own.
struct StartupInputs {
    std::string toolFolder;     // folder of the running exe, no trailing backslash
    std::string appDataFolder;  // per-user application data ("" when unknown)
    std::string systemFolder;   // the 32-bit system folder the jukebox uses
    int screenWidth = 0;
    int screenHeight = 0;
};

// Path of a shell special folder (CSIDL number), or "" when it cannot be resolved.
std::string GetSpecialFolder(int csidl);
// A value of an ini file; `defaultValue` when the file or key is missing.
std::string ReadIniString(const std::string& file, const std::string& section, const std::string& key,
                          const std::string& defaultValue);
// The folder of the running executable, without trailing backslash.
std::string ToolFolder();

StartupInputs GatherStartupInputs();

// Runs start-up up to (not including) the first report: sets InstallDir, DataDir,
// ModuleDir and `state`; shows the "Achtung!" warning through `prompts` when the
// tool is not in a Tools folder.
void FormLoad(const StartupInputs& inputs, Prompts& prompts, HWND owner, MainState& state);

}  // namespace vtx
