// The folders of the machine that a walk of the export never takes whole: drive
// and share roots, the Windows folder, both Program Files folders, ProgramData,
// the Users folder and every user's profile folder. They are found through the
// platform's known folders and recognised by identity, not by spelling, so
// "C:\PROGRA~2", "c:\program files (x86)\" or a drive letter standing for the
// same folder are caught alike.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "export/export_layout.h"
#include "export/folder_identity_win.h"

namespace vtx {

class ProtectedFolders {
public:
    // Reads the machine's known folders and user profiles (about a dozen calls).
    ProtectedFolders();

    // What `folder` is among the folders a walk never takes; None for any other
    // folder, also for one that cannot be read (a walk finds nothing there).
    ProtectedFolder Classify(const std::string& folder) const;

    // True when `folder` is, or lies below, a folder whose writes Windows redirects
    // into the VirtualStore for programs without a manifest such as the jukebox:
    // Program Files (both), the Windows folder, ProgramData.
    bool IsVirtualized(const std::string& folder) const;

    // The machine's folders, read once for the life of the program (reading them
    // takes a good part of a small export under Wine).
    static const ProtectedFolders& OfThisMachine();

private:
    struct Known {
        ProtectedFolder kind;
        FolderIdentity identity;
    };
    std::vector<Known> known_;
    std::vector<FolderIdentity> profiles_;
    std::optional<FolderIdentity> users_;
};

}  // namespace vtx
