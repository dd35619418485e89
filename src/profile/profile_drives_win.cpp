#include "profile/profile_drives_win.h"

#include <windows.h>

#include <algorithm>

#include "common/unicode_win.h"
#include "profile/profile_probe.h"

namespace vtx {
namespace {

DriveFacts QueryDrive(const std::string& root) {
    // A drive without a medium must not ask the user to insert one.
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, nullptr);
    DriveFacts facts;
    facts.root = root;
    const std::wstring wideRoot = Widen(root);
    wchar_t fileSystem[MAX_PATH + 1] = {};
    if (GetVolumeInformationW(wideRoot.c_str(), nullptr, 0, nullptr, nullptr, nullptr, fileSystem, MAX_PATH + 1)) {
        const std::string name = NarrowBuffer(fileSystem, MAX_PATH + 1);
        if (!name.empty()) facts.fileSystem = name;
    }
    ULARGE_INTEGER freeToUser{}, total{}, freeTotal{};
    if (GetDiskFreeSpaceExW(wideRoot.c_str(), &freeToUser, &total, &freeTotal)) {
        facts.freeBytes = freeToUser.QuadPart;
        facts.totalBytes = total.QuadPart;
    }
    facts.outcome = facts.fileSystem || facts.totalBytes ? ProbeOutcome::Answered : ProbeOutcome::Failed;
    return facts;
}

bool SameRoot(const std::string& a, const std::string& b) {
    const std::wstring wa = Widen(a), wb = Widen(b);
    return CompareStringOrdinal(wa.c_str(), static_cast<int>(wa.size()), wb.c_str(), static_cast<int>(wb.size()),
                                TRUE) == CSTR_EQUAL;
}

}  // namespace

std::vector<DriveFacts> GetDriveFacts(const std::vector<FolderOnDrive>& folders, std::chrono::milliseconds limit,
                                      const ProbeWait& wait) {
    std::vector<DriveFacts> drives;
    for (const FolderOnDrive& folder : folders) {
        const std::string root = RootOfPath(folder.path);
        auto drive = std::find_if(drives.begin(), drives.end(),
                                  [&](const DriveFacts& known) { return SameRoot(known.root, root); });
        if (drive == drives.end()) {
            DriveFacts unanswered;
            unanswered.root = root;
            drives.push_back(root.empty() ? unanswered
                                          : ProbeWithDeadline(wait.Limit(limit), [root] { return QueryDrive(root); }, unanswered,
                                                              wait.whileWaiting));
            drive = drives.end() - 1;
        }
        drive->folders.push_back(folder);
    }
    return drives;
}

}  // namespace vtx
