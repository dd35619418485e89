#include "export/environment_export_win.h"

#include <windows.h>

#include <optional>
#include <vector>

#include "common/files_win.h"
#include "common/handles_win.h"
#include "common/long_path.h"
#include "common/strings.h"
#include "common/unicode_win.h"
#include "export/export_layout.h"
#include "export/folder_identity_win.h"
#include "export/protected_folders_win.h"
#include "report/report_file_win.h"
#include "profile/system_profile.h"

namespace vtx {
namespace {

// Attributes a copy must not carry: a read-only, hidden or system file in the
// export folder would make the next export's deletion of it fail.
constexpr DWORD kBlockingAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

bool NamesAFile(const std::string& path) { return !path.empty() && path.find('\0') == std::string::npos; }

std::wstring WithoutTrailingBackslash(std::wstring path) {
    while (path.size() > 1 && path.back() == L'\\') path.pop_back();
    return path;
}

bool SameTextIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

// The name a folder found by a search of its parent has, in its last part.
std::wstring_view LastName(std::wstring_view path) {
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

// The export folder, recognised during the walks.
class ExportFolderMatch {
public:
    explicit ExportFolderMatch(const std::string& folder)
        : identity_(IdentityOf(folder)), path_(WithoutTrailingBackslash(Widen(ResolvedPath(folder)))) {}

    bool Matches(const WalkedFolder& folder) const {
        // A folder the walk found below its root by a search of the parent is the
        // export folder only under the export folder's own name: a folder has one
        // parent and one (long) name, and links are checked like the root. Reading
        // the identity of every other folder would cost a handle per folder.
        if (!folder.root && !folder.linked &&
            !SameTextIgnoringCase(LastName(Widen(folder.path)), LastName(path_)))
            return false;
        if (identity_) {
            if (const auto other = IdentityOf(folder.path)) return *other == *identity_;
        }
        // Without identities, the paths decide, ignoring case as the file system does.
        return SameTextIgnoringCase(WithoutTrailingBackslash(Widen(ResolvedPath(folder.path))), path_);
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
    const std::wstring wideDestination = WidenPath(destination);
    return CopyFileW(WidenPath(source).c_str(), wideDestination.c_str(), TRUE) &&
           ClearBlockingAttributes(wideDestination);
}

// The folder part of a destination path (no trailing backslash).
std::string_view ParentOf(std::string_view path) {
    const size_t slash = path.find_last_of('\\');
    return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash);
}

// Makes the folder of a destination, or finds it there. Folders are walked parent
// before children, so its parent is nearly always there: one creation is tried
// before CreatePath looks at every level of the path.
bool MakeFolder(const std::string& folder) {
    if (!NamesAFile(folder)) return false;
    const std::wstring wide = WidenPath(folder);
    if (CreateDirectoryW(wide.c_str(), nullptr)) return true;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        // ...or a file of that name, which is no folder.
        const DWORD attributes = GetFileAttributesW(wide.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
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
    const std::wstring wideDestination = WidenPath(destination);
    DWORD error = ERROR_SUCCESS;
    if (copy) {
        if (!CopyFileW(WidenPath(source).c_str(), wideDestination.c_str(), TRUE)) error = GetLastError();
    } else {
        error = CreateNewEmptyFile(wideDestination);
    }
    if (error == ERROR_FILE_EXISTS) return Placed::Done;
    if (error == ERROR_PATH_NOT_FOUND) return Placed::NoFolder;
    if (error != ERROR_SUCCESS) return Placed::Failed;
    return !copy || ClearBlockingAttributes(wideDestination) ? Placed::Done : Placed::Failed;
}

// True when `folder` (existing, identity `identity`) is `tree` or one of the
// folders above it.
bool IsOrHolds(const FolderIdentity& identity, const std::string& tree) {
    for (std::string level = ResolvedPath(tree); !level.empty(); level = GetParentPath(level)) {
        // "C:" alone would name the current folder of the drive.
        const bool root = IsRootFolder(level);
        if (IdentityOf(root ? level + "\\" : level) == identity) return true;
        if (root) break;
    }
    return false;
}

class EnvironmentExport {
public:
    EnvironmentExport(const ExportRequest& request, const MessagePump& pump, ExportProgress* progress)
        : request_(request), outerPump_(pump), progress_(progress), ExportDir(ExportFolderIn(request.chosenFolder)) {
        result_.folder = ExportDir;
    }
    // The pump below refers to this object.
    EnvironmentExport(const EnvironmentExport&) = delete;
    EnvironmentExport& operator=(const EnvironmentExport&) = delete;

    ExportResult Run() {
        if (const auto identity = IdentityOf(ExportDir)) {
            for (const std::string* tree : {&request_.installDir, &request_.dataDir, &request_.virtualStoreDir})
                if (IsOrHolds(*identity, *tree)) return Stop(ExportFolderHoldsJukeboxText(ExportDir));
        }
        if (DirExists(ExportDir) && !DeleteDirectory(ExportDir)) return Stop(FolderNotDeletedText(ExportDir));
        if (!CreatePath(ExportDir)) return Stop(FolderNotCreatedText(ExportDir));
        exportFolder_.emplace(ExportDir);

        const std::string log = ExportDir + "\\VTX.log";
        if (!WriteReportFile(log, request_.logLines)) Failed(log);
        const std::string profile = ExportDir + "\\" + kSystemProfileFileName;
        if (!WriteSystemProfileFile(profile, request_.systemProfile)) Failed(profile);
        for (const ExportedFile& file : request_.werFiles) {
            const std::string destination = ExportDir + "\\" + file.destination;
            if (CreatePath(GetParentPath(destination)))
                Copy(file.source, destination);
            else
                Failed(file.source);
        }

        const ProtectedFolders& protectedFolders = ProtectedFolders::OfThisMachine();
        const ProtectedFolder installKind =
            request_.installDir.empty() ? ProtectedFolder::None : protectedFolders.Classify(request_.installDir);
        const ProtectedFolder dataKind =
            request_.dataDir.empty() ? ProtectedFolder::None : protectedFolders.Classify(request_.dataDir);
        // The VirtualStore of a tree that is not taken is not taken either.
        const std::string virtualStore =
            installKind == ProtectedFolder::None && DirExists(request_.virtualStoreDir) ? request_.virtualStoreDir : "";

        const std::string skinFile = AsTheJukeboxSeesIt(request_.skinFile, virtualStore);
        if (FileExists(skinFile)) {
            const std::string folder =
                SkinExportFolder(ExportDir, request_.skinName, request_.screenWidth, request_.screenHeight);
            if (!CreatePath(folder)) return Stop(FolderNotCreatedText(folder));
            Copy(skinFile, folder + "\\Skin.t6s");
        }
        for (const char* name : {"\\Init.vtx", "\\Fehler.log"}) {
            const std::string source = request_.dataDir + name;
            if (!FileExists(source)) continue;
            const std::string folder = ExportDir + "\\USR";
            if (!CreatePath(folder)) return Stop(FolderNotCreatedText(folder));
            Copy(source, folder + name);
        }

        // The VirtualStore first: its files win over the originals the walk of the
        // install folder finds afterwards, since a file whose destination exists is
        // left alone.
        if (!virtualStore.empty() && !Walk(virtualStore, Mapping::VirtualStore)) return Cancel();
        installTaken_ = installKind == ProtectedFolder::None;
        if (!installTaken_)
            NotTaken(TreeNotTakenText(request_.installDir, installKind, true));
        else if (!Walk(request_.installDir, Mapping::Trees))
            return Cancel();
        if (dataKind != ProtectedFolder::None)
            NotTaken(TreeNotTakenText(request_.dataDir, dataKind, false));
        else if (!Walk(request_.dataDir, Mapping::Trees))
            return Cancel();

        if (!result_.notTaken.empty()) {
            result_.outcome = ExportOutcome::CreatedWithFailures;
            result_.message = IncompleteExportText(result_.notTaken, installKind != ProtectedFolder::None,
                                                   result_.failedCount, result_.firstFailures);
        } else if (result_.failedCount > 0) {
            result_.outcome = ExportOutcome::CreatedWithFailures;
            result_.message = FailedFilesText(result_.failedCount, result_.firstFailures);
        } else {
            result_.outcome = ExportOutcome::Created;
            result_.message = kExportDoneText;
        }
        return result_;
    }

private:
    // How a walked file finds its destination: the install and data folders by
    // ExportDestination, the VirtualStore's files at their place below APP.
    enum class Mapping { Trees, VirtualStore };

    // The VirtualStore's copy of an install-folder file when there is one, else the
    // file itself.
    std::string AsTheJukeboxSeesIt(const std::string& file, const std::string& virtualStore) const {
        const std::string& install = request_.installDir;
        if (virtualStore.empty() || install.empty() || !file.starts_with(install + "\\")) return file;
        const std::string stored = virtualStore + file.substr(install.size());
        return FileExists(stored) ? stored : file;
    }

    // False when the pump stopped the walk.
    bool Walk(const std::string& tree, Mapping mapping) {
        // "" would stand for the root of the current drive.
        if (tree.empty()) return true;
        mapping_ = mapping;
        walkedTree_ = &tree;
        return WalkTree(
            tree, kExportAttributeMask, [this](const WalkedFolder& folder) { return FolderFound(folder); },
            [this](const std::string&) { WriteDirectory(); }, pump_);
    }

    // The export folder is neither read nor entered.
    bool FolderFound(const WalkedFolder& folder) {
        if (exportFolder_ && exportFolder_->Matches(folder)) return false;
        if (progress_) progress_->folder = folder.path;
        return true;
    }

    std::string DestinationOf(const std::string& source) const {
        // An install folder that is not taken maps nothing either: "C:" (the tool in
        // C:\Tools) would otherwise claim every file of the data folder for APP.
        if (mapping_ == Mapping::Trees)
            return ExportDestination(source, installTaken_ ? request_.installDir : std::string(), request_.dataDir,
                                     ExportDir);
        return ExportDir + "\\APP" + source.substr(walkedTree_->size());
    }

    // Places the walked file FoundPath in the export: a copy for "ini", else an
    // empty file; a file already at the destination stays. Its folder is made
    // before the first file placed in it: a folder without files gets none.
    void WriteDirectory() {
        if (progress_) ++progress_->files;
        const std::string& source = FoundPath;
        const std::string destination = DestinationOf(source);
        if (destination.empty()) return;  // outside both trees: nothing to place
        // A file whose copy failed above gets no empty stand-in: an empty Init.vtx in
        // the export would look like the jukebox's real settings.
        if (CopyFailedFor(destination)) return;
        const bool copy = IsCopiedInFull(source);
        // The files of one walked folder come one after the other and share their
        // destination's folder: it is made once, for the first of them.
        const std::string_view folder = ParentOf(destination);
        if (folder != madeFolder_) {
            if (!MakeFolder(std::string(folder))) {
                Failed(source);
                return;
            }
            madeFolder_ = folder;
        }
        Placed placed = Place(source, destination, copy);
        if (placed == Placed::NoFolder) {
            // Gone since it was made: made again once.
            if (!MakeFolder(std::string(folder))) {
                Failed(source);
                return;
            }
            placed = Place(source, destination, copy);
        }
        if (placed != Placed::Done) Failed(source);
    }

    void Copy(const std::string& source, const std::string& destination) {
        if (progress_) ++progress_->files;
        if (CopyPlain(source, destination)) return;
        Failed(source);
        failedCopies_.push_back(Widen(ResolvedPath(destination)));
    }

    bool CopyFailedFor(const std::string& destination) const {
        if (failedCopies_.empty()) return false;
        const std::wstring wide = Widen(ResolvedPath(destination));
        for (const std::wstring& failed : failedCopies_)
            if (SameTextIgnoringCase(wide, failed)) return true;
        return false;
    }

    void Failed(const std::string& path) {
        ++result_.failedCount;
        if (result_.firstFailures.size() < kNamedFailures) result_.firstFailures.push_back(path);
    }

    void NotTaken(const std::string& paragraph) { result_.notTaken.push_back(paragraph); }

    ExportResult Stop(const std::string& message) {
        result_.outcome = ExportOutcome::Stopped;
        result_.message = message;
        return result_;
    }

    // Nothing half done stays: the export folder goes again.
    ExportResult Cancel() {
        result_.outcome = ExportOutcome::Cancelled;
        result_.message = ExportCancelledText(ExportDir, DeleteDirectory(ExportDir));
        return result_;
    }

    const ExportRequest& request_;
    const MessagePump& outerPump_;
    ExportProgress* progress_;
    // Once the outer pump asked to stop, every level of the walk hears it.
    bool stopped_ = false;
    const MessagePump pump_ = [this] {
        if (!stopped_ && !outerPump_()) stopped_ = true;
        return !stopped_;
    };
    const std::string ExportDir;
    std::optional<ExportFolderMatch> exportFolder_;
    std::vector<std::wstring> failedCopies_;  // destinations of the copies above that failed
    Mapping mapping_ = Mapping::Trees;
    bool installTaken_ = true;
    const std::string* walkedTree_ = nullptr;
    std::string madeFolder_;  // the destination folder the last file was placed in
    ExportResult result_;
};

}  // namespace

bool CreateEmptyFile(const std::string& path) {
    if (!NamesAFile(path)) return false;
    const DWORD error = CreateNewEmptyFile(WidenPath(path));
    return error == ERROR_SUCCESS || error == ERROR_FILE_EXISTS;
}

ExportResult ExportEnvironment(const ExportRequest& request, const MessagePump& pump, ExportProgress* progress) {
    return EnvironmentExport(request, pump, progress).Run();
}

}  // namespace vtx
