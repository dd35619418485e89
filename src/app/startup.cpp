#include "app/startup.h"

namespace vtx {

std::string InstallDirFor(const std::string& toolFolder, bool& insideTools) {
    // Only a folder that is itself named "Tools" counts: "C:\Jukebox\MyTools" is not
    // the jukebox's Tools folder, and cutting six characters off it would name a
    // folder that does not exist.
    static constexpr std::string_view kTools = "Tools";
    const size_t length = toolFolder.size();
    insideTools = length >= kTools.size() && toolFolder.compare(length - kTools.size(), kTools.size(), kTools) == 0 &&
                  (length == kTools.size() || toolFolder[length - kTools.size() - 1] == '\\');
    if (!insideTools) return toolFolder;
    return length > kTools.size() ? toolFolder.substr(0, length - kTools.size() - 1) : std::string();
}

std::array<std::string, 8> MakeFileList(const std::string& systemDir, const std::string& installDir,
                                        const std::string& skinName, int screenWidth, int screenHeight) {
    return {
        systemDir + "\\MSVBVM60.DLL",
        installDir + "\\Module\\INPOUT32.DLL",
        installDir + "\\Velatrix-Tunes 6.exe",
        installDir + "\\SetUp-Tool.exe",
        installDir + "\\Skins\\" + skinName + "\\" + std::to_string(screenWidth) + "x" + std::to_string(screenHeight) +
            "\\Skin.t6s",
        systemDir + "\\asycfilt.dll",
        systemDir + "\\MSCMCDE.DLL",
        systemDir + "\\stdole2.tlb",
    };
}

}  // namespace vtx
