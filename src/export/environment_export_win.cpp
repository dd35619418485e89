#include "export/environment_export_win.h"

#include <windows.h>

#include <optional>
#include <vector>

#include "common/files_win.h"
#include "common/handles_win.h"
#include "common/strings.h"
#include "common/unicode_win.h"
#include "export/export_layout.h"
#include "report/report_file_win.h"
#include "report/system_profile.h"

namespace vtx {
namespace {

// Attributes a copy must not carry: a read-only, hidden or system file in the
// export folder would make the next export's deletion of it fail.
constexpr DWORD kBlockingAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

bool NamesAFile(const std::string& path) { return !path.empty() && path.find('\0') == std::string::npos; }

// What tells one folder from another whatever the spelling of its path (case,
// short names, doubled backslashes).
struct FolderIdentity {
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
    bool operator==(const FolderIdentity&) const = default;
};

std::optional<FolderIdentity> IdentityOf(const std::string& folder) {
    if (!NamesAFile(folder)) return std::nullopt;
    FileHandle handle(CreateFileW(Widen(folder).c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!handle || !GetFileInformationByHandle(handle.get(), &info)) return std::nullopt;
    return FolderIdentity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

std::wstring WithoutTrailingBackslash(std::wstring path) {
    while (path.size() > 1 && path.back() == L'\\') path.pop_back();
    return path;
}

// The export folder, recognised during the walks.
class ExportFolderMatch {
public:
    explicit ExportFolderMatch(const std::string& folder)
        : identity_(IdentityOf(folder)), path_(WithoutTrailingBackslash(Widen(folder))) {}

    bool Matches(const std::string& folder) const {
        if (identity_) {
            if (const auto other = IdentityOf(folder)) return *other == *identity_;
        }
        // Without identities, the paths decide, ignoring case as the file system does.
        const std::wstring other = WithoutTrailingBackslash(Widen(folder));
        return CompareStringOrdinal(other.c_str(), static_cast<int>(other.size()), path_.c_str(),
                                    static_cast<int>(path_.size()), TRUE) == CSTR_EQUAL;
    }

private:
    std::optional<FolderIdentity> identity_;
    std::wstring path_;
};

// Clears the attributes of a fresh copy that would block deleting it later.
bool ClearBlockingAttributes(const std::wstring& copy) {
    const DWORD attributes = GetFileAttributesW(copy.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if (!(attributes & kBlockingAttributes)) return true;
    DWORD plain = attributes & ~kBlockingAttributes;
    if (plain == 0) plain = FILE_ATTRIBUTE_NORMAL;
    return SetFileAttributesW(copy.c_str(), plain) != FALSE;
}

// Copies `source` to `destination`, which must not exist yet, and clears the
// attributes that would block deleting the copy later.
bool CopyPlain(const std::string& source, const std::string& destination) {
    if (!NamesAFile(source) || !NamesAFile(destination)) return false;
    const std::wstring wideDestination = Widen(destination);
    return CopyFileW(Widen(source).c_str(), wideDestination.c_str(), TRUE) && ClearBlockingAttributes(wideDestination);
}

// The folder of a destination that found it missing. Folders are walked parent
// before children, so its parent is nearly always there: one creation is tried
// before CreatePath looks at every level of the path.
bool MakeFolder(const std::string& folder) {
    if (NamesAFile(folder) && CreateDirectoryW(Widen(folder).c_str(), nullptr)) return true;
    return CreatePath(folder);
}

// Creates the empty file `path` unless something of that name is there;
// ERROR_SUCCESS, or why the creation failed (ERROR_FILE_EXISTS among others).
DWORD CreateNewEmptyFile(const std::wstring& path) {
    return FileHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr))
               ? ERROR_SUCCESS
               : GetLastError();
}

enum class Placed { Done, NoFolder, Failed };

// Puts a plain copy of `source` (copy) or an empty file at `destination`; a file
// already there is left alone (Done). NoFolder when the destination's folder is
// missing. One call into the file system for a placeholder: whether the folder and
// the file exist is learnt from the creation itself.
Placed Place(const std::string& source, const std::string& destination, bool copy) {
    if (!NamesAFile(source) || !NamesAFile(destination)) return Placed::Failed;
    const std::wstring wideDestination = Widen(destination);
    DWORD error = ERROR_SUCCESS;
    if (copy) {
        if (!CopyFileW(Widen(source).c_str(), wideDestination.c_str(), TRUE)) error = GetLastError();
    } else {
        error = CreateNewEmptyFile(wideDestination);
    }
    if (error == ERROR_FILE_EXISTS) return Placed::Done;
    if (error == ERROR_PATH_NOT_FOUND) return Placed::NoFolder;
    if (error != ERROR_SUCCESS) return Placed::Failed;
    return !copy || ClearBlockingAttributes(wideDestination) ? Placed::Done : Placed::Failed;
}

class EnvironmentExport {
public:
    EnvironmentExport(const ExportRequest& request, const MessagePump& pump)
        : request_(request), outerPump_(pump), ExportDir(ExportFolderIn(request.chosenFolder)) {
        result_.folder = ExportDir;
    }
    // The pump below refers to this object.
    EnvironmentExport(const EnvironmentExport&) = delete;
    EnvironmentExport& operator=(const EnvironmentExport&) = delete;

    ExportResult Run() {
        if (DirExists(ExportDir) && !DeleteDirectory(ExportDir)) return Stop(FolderNotDeletedText(ExportDir));
        if (!CreatePath(ExportDir)) return Stop(FolderNotCreatedText(ExportDir));
        exportFolder_.emplace(ExportDir);

        const std::string log = ExportDir + "\\VTX.log";
        if (!WriteReportFile(log, request_.logLines)) Failed(log);
        const std::string profile = ExportDir + "\\" + kSystemProfileFileName;
        if (!WriteSystemProfileFile(profile, request_.systemProfile)) Failed(profile);

        if (FileExists(request_.skinFile)) {
            const std::string folder =
                SkinExportFolder(ExportDir, request_.skinName, request_.screenWidth, request_.screenHeight);
            if (!CreatePath(folder)) return Stop(FolderNotCreatedText(folder));
            Copy(request_.skinFile, folder + "\\Skin.t6s");
        }
        for (const char* name : {"\\Init.vtx", "\\Fehler.log"}) {
            const std::string source = request_.dataDir + name;
            if (!FileExists(source)) continue;
            const std::string folder = ExportDir + "\\USR";
            if (!CreatePath(folder)) return Stop(FolderNotCreatedText(folder));
            Copy(source, folder + name);
        }

        const auto folderFound = [this](const std::string& folder) { return FolderFound(folder); };
        for (const std::string* tree : {&request_.installDir, &request_.dataDir}) {
            // "" would stand for the root of the current drive.
            if (tree->empty()) continue;
            if (!ForEachFolder(*tree, folderFound, pump_)) {
                result_.outcome = ExportOutcome::Cancelled;
                return result_;
            }
        }

        if (result_.failedCount > 0) {
            result_.outcome = ExportOutcome::CreatedWithFailures;
            result_.message = FailedFilesText(result_.failedCount, result_.firstFailures);
        } else {
            result_.outcome = ExportOutcome::Created;
            result_.message = kExportDoneText;
        }
        return result_;
    }

private:
    // Hands the files of one walked folder to WriteDirectory; the export folder is
    // neither read nor entered.
    bool FolderFound(const std::string& FFolder) {
        if (exportFolder_ && exportFolder_->Matches(FFolder)) return false;
        ForEachFile(FFolder + "\\", "*", kExportAttributeMask, [this](const std::string&) { WriteDirectory(); },
                    pump_);
        return true;
    }

    // Places the walked file FoundPath in the export: a copy for "ini", else an
    // empty file; a file already at the destination stays. Its folder is made
    // when the first file in it finds it missing.
    void WriteDirectory() {
        const std::string& source = FoundPath;
        const std::string destination =
            ExportDestination(source, request_.installDir, request_.dataDir, ExportDir);
        if (destination.empty()) return;  // outside both trees: nothing to place
        // A file whose copy failed above gets no empty stand-in: an empty Init.vtx in
        // the export would look like the jukebox's real settings.
        if (CopyFailedFor(destination)) return;
        const bool copy = IsCopiedInFull(source);
        Placed placed = Place(source, destination, copy);
        if (placed == Placed::NoFolder) {
            if (!MakeFolder(GetParentPath(destination))) {
                Failed(source);
                return;
            }
            placed = Place(source, destination, copy);
        }
        if (placed != Placed::Done) Failed(source);
    }

    void Copy(const std::string& source, const std::string& destination) {
        if (CopyPlain(source, destination)) return;
        Failed(source);
        failedCopies_.push_back(Widen(destination));
    }

    bool CopyFailedFor(const std::string& destination) const {
        if (failedCopies_.empty()) return false;
        const std::wstring wide = Widen(destination);
        for (const std::wstring& failed : failedCopies_)
            if (CompareStringOrdinal(wide.c_str(), static_cast<int>(wide.size()), failed.c_str(),
                                     static_cast<int>(failed.size()), TRUE) == CSTR_EQUAL)
                return true;
        return false;
    }

    void Failed(const std::string& path) {
        ++result_.failedCount;
        if (result_.firstFailures.size() < kNamedFailures) result_.firstFailures.push_back(path);
    }

    ExportResult Stop(const std::string& message) {
        result_.outcome = ExportOutcome::Stopped;
        result_.message = message;
        return result_;
    }

    const ExportRequest& request_;
    const MessagePump& outerPump_;
    // Once the outer pump asked to stop, every level of the walk hears it.
    bool stopped_ = false;
    const MessagePump pump_ = [this] {
        if (!stopped_ && !outerPump_()) stopped_ = true;
        return !stopped_;
    };
    const std::string ExportDir;
    std::optional<ExportFolderMatch> exportFolder_;
    std::vector<std::wstring> failedCopies_;  // destinations of the copies above that failed
    ExportResult result_;
};

}  // namespace

bool CreateEmptyFile(const std::string& path) {
    if (!NamesAFile(path)) return false;
    const DWORD error = CreateNewEmptyFile(Widen(path));
    return error == ERROR_SUCCESS || error == ERROR_FILE_EXISTS;
}

ExportResult ExportEnvironment(const ExportRequest& request, const MessagePump& pump) {
    return EnvironmentExport(request, pump).Run();
}

}  // namespace vtx
