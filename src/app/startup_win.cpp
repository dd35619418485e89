#include "app/startup_win.h"

#include <shlobj.h>

#include "app/startup.h"
#include "common/directories.h"
#include "common/files_win.h"
#include "common/handles_win.h"
#include "common/unicode_win.h"
#include "settings/init_dbase_win.h"

namespace vtx {

std::string GetSpecialFolder(int csidl) {
    ItemIdList list;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, list.put())) || !list) return {};
    wchar_t buffer[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(list.get(), buffer)) return {};
    return NarrowBuffer(buffer, MAX_PATH);
}

std::string ReadIniString(const std::string& file, const std::string& section, const std::string& key,
                          const std::string& defaultValue) {
    wchar_t buffer[1024] = {};
    GetPrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(), Widen(defaultValue).c_str(), buffer, 1024,
                             Widen(file).c_str());
    return NarrowBuffer(buffer, 1024);
}

std::string ToolFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.rfind(L'\\');
    return Narrow(slash == std::wstring::npos ? path : path.substr(0, slash));
}

StartupInputs GatherStartupInputs() {
    StartupInputs inputs;
    inputs.toolFolder = ToolFolder();
    inputs.appDataFolder = GetSpecialFolder(CSIDL_APPDATA);
    // The jukebox is a 32-bit program: its system folder is the 32-bit one.
    inputs.systemFolder = GetSpecialFolder(CSIDL_SYSTEMX86);
    inputs.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    inputs.screenHeight = GetSystemMetrics(SM_CYSCREEN);
    return inputs;
}

void FormLoad(const StartupInputs& inputs, Prompts& prompts, HWND owner, MainState& state) {
    DataDir = inputs.appDataFolder + kJukeboxFolderName;
    ModuleDir = DataDir + "\\Module";
    state.SystemDir = inputs.systemFolder;

    bool insideTools = false;
    InstallDir = InstallDirFor(inputs.toolFolder, insideTools);
    if (!insideTools) prompts.Message(owner, kNotInToolsText, kAchtungTitle, MB_OK | MB_ICONEXCLAMATION);

    state.ScreenWidth = inputs.screenWidth;
    state.ScreenHeight = inputs.screenHeight;

    const std::string setupIni = DataDir + "\\SetUp.ini";
    state.CoverDir = ReadIniString(setupIni, "Settings", "CoverPath", DataDir + "\\Cover");
    if (!DirExists(state.CoverDir)) state.CoverDir = DataDir + "\\Cover";
    state.ListDir = ReadIniString(setupIni, "Settings", "ListPath", DataDir + "\\Daten");
    if (!DirExists(state.ListDir)) state.ListDir = DataDir;

    for (size_t i = 0; i < kComponentList.size(); ++i) state.ComponentList[i] = kComponentList[i];
    const std::string skinName = ReadDbValue("Skin", false, kStartSkinDefault);
    state.FileList = MakeFileList(state.SystemDir, InstallDir, skinName, state.ScreenWidth, state.ScreenHeight);
}

}  // namespace vtx
