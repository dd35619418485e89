// The decisions of start-up that need no Windows: where the jukebox is installed,
// the fixed lists the report checks, and the texts start-up shows.
#pragma once
#include <array>
#include <string>

namespace vtx {

inline constexpr const char* kJukeboxFolderName = "\\Velatrix-Tunes 6";
inline constexpr const char* kStartSkinDefault = "Holz-Dunkel 2";
inline constexpr const char* kAchtungTitle = "Achtung!";
inline constexpr const char* kNotInToolsText =
    "Das Diagnostic-Tool befindet sich nicht im 'Tools'-Verzeichnis der Velatrix-Tunes und kann deshalb nicht alle "
    "erforderlichen Informationen sammeln!";

// InstallDir for a tool running from `toolFolder` (without trailing backslash):
// the parent of the folder when the folder itself is named exactly "Tools"
// (case-sensitive), otherwise the tool's own folder, with insideTools false.
std::string InstallDirFor(const std::string& toolFolder, bool& insideTools);

// The files whose presence the report shows, in report order.
std::array<std::string, 8> MakeFileList(const std::string& systemDir, const std::string& installDir,
                                        const std::string& skinName, int screenWidth, int screenHeight);

// The components the report checks: ProgID ";" file name.
inline constexpr std::array<const char*, 10> kComponentList{
    "MSCOMMLib.MSComm;MSCOMM32.OCX",      "MSComDlg.CommonDialog;Comdlg32.ocx",
    "Scripting.Dictionary;scrrun.dll",    "TabDlg.SSTab;TabCtl32.ocx",
    "COMCTL.ImageListCtrl;comctl32.ocx",  "MSComCtl2.Animation;Mscomct2.ocx",
    "MSWinsock.Winsock;mswinsck.ocx",     "SSubTimer6.CTimer;SSubTmr6.dll",
    "MSComctlLib.ImageComboCtl;MSCOMCTL.OCX", "WMPlayer.OCX;wmp.dll",
};

}  // namespace vtx
