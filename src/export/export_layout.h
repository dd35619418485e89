// Where the export puts things and what it tells the user. Portable: the decisions
// of the export that need no file system.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace vtx {

// The folder the export makes inside the chosen one.
inline constexpr const char* kExportFolderName = "VTX Umgebung";
// The skin name that names the skin folder of the export when the settings hold
// none (the start-up default "Holz-Dunkel 2" only finds the skin file).
inline constexpr const char* kExportSkinDefault = "Holz-dunkel";
// Only this extension, exactly in lower case, is copied in full by the walks.
inline constexpr const char* kCopiedExtension = "ini";

inline constexpr const char* kInfoTitle = "Info";
inline constexpr const char* kExportInfoText =
    "Das Programm erstellt nun eine Kopie des Velatrix-Tunes"
    " Verzeichnisses. Darin sind alle Programm-Einstellungen"
    " und der angezeigte Log enthalten. Dieses Verzeichnis"
    " Bitte komprimieren (Zip, Rar etc.) und an uns senden.";
inline constexpr const char* kPickFolderTitle = "Bitte Verzeichnis wählen";
inline constexpr const char* kExportDoneText = "Umgebung wurde erstellt";

// The archive beside the export folder, holding it: "VTX Umgebung.zip".
inline constexpr const char* kArchiveExtension = ".zip";

// How many failed files the closing warning names.
inline constexpr size_t kNamedFailures = 5;

// What a folder is among those a walk of the export never takes whole.
enum class ProtectedFolder {
    None,         // any other folder: walked
    DriveRoot,    // C:\ and the like, also a folder a volume is mounted at
    ShareRoot,    // \\server\share
    Windows,      // the Windows folder
    ProgramFiles, // Program Files, Program Files (x86)
    ProgramData,
    Users,        // the folder of all user profiles
    UserProfile,  // one user's profile folder itself
};

// The paragraph of the closing warning for a tree that was not walked: names the
// folder and says what it is. `programTree`: the install folder (else the data
// folder).
std::string TreeNotTakenText(std::string_view folder, ProtectedFolder kind, bool programTree);
// The closing warning of an export that is in place but for what it names: the
// paragraphs of TreeNotTakenText (`notTaken`, at least one), the advice where the
// tool belongs when the install folder was not taken, and the files that failed
// (FailedFilesText) when there are any.
std::string IncompleteExportText(const std::vector<std::string>& notTaken, bool programTreeNotTaken,
                                 long failedCount, const std::vector<std::string>& named);
// The box after "Abbrechen" (or closing the window) stopped the export: says so and
// whether the half-made export folder is gone again.
std::string ExportCancelledText(std::string_view folder, bool removed);
// The box when the chosen place would put the export folder where the jukebox's
// own folders are (deleting an earlier export there would delete them): nothing
// was written.
std::string ExportFolderHoldsJukeboxText(std::string_view folder);

// The progress line of the wait window during an export: "Dateien: 12.345"
// (thousands grouped with dots, as German readers write them).
std::string ProgressCountText(long files);

// The export folder inside the chosen folder: chosen + "\VTX Umgebung". A chosen
// drive root (C:\) keeps its one backslash.
std::string ExportFolderIn(std::string_view chosen);

// The folder that holds the skin file in the export:
// exportDir\APP\Skins\<skin>\<width>x<height>. A skin name from the settings that
// is not one plain folder name (empty, "." or "..", holding \ / or :) would place
// the copy outside the export; the export default names the folder then.
std::string SkinExportFolder(std::string_view exportDir, std::string_view skinName, int width, int height);

// Where a walked file goes: when `source` contains `installDir`, the source with
// every occurrence of installDir replaced by exportDir\APP; otherwise, when it
// contains `dataDir`, with every occurrence of dataDir replaced by exportDir\USR.
// "" when it contains neither (an empty folder text matches nothing).
std::string ExportDestination(std::string_view source, std::string_view installDir, std::string_view dataDir,
                              std::string_view exportDir);

// True when a walked file is copied in full: its extension is exactly "ini".
bool IsCopiedInFull(std::string_view source);

// "Verzeichnis <folder> konnte nicht erstellt werden"
std::string FolderNotCreatedText(std::string_view folder);
// The box when an earlier export folder cannot be deleted: names it, says that
// nothing new was written.
std::string FolderNotDeletedText(std::string_view folder);
// The archive of an export folder: the folder's path + ".zip".
std::string ArchivePathFor(std::string_view exportFolder);
// The closing text of an export whose archive was written: the export's own text,
// then the line that names the archive ("Zum Versenden: <archive>").
std::string WithArchiveLine(std::string_view exportText, std::string_view archive);
// The closing text of an export whose archive could not be written: the export's
// own text, what failed (`reason` may add why, "" adds nothing) and that the
// folder is there to be sent by hand.
std::string WithArchiveFailure(std::string_view exportText, std::string_view archive, std::string_view folder,
                               std::string_view reason);
// The window's closing box asks on its last line whether the folder holding what is
// to be sent should be opened: the archive when it was written, else the export
// folder (to be compressed by hand).
inline constexpr const char* kOpenArchiveFolderQuestion = "Soll der Ordner mit dem Archiv jetzt geöffnet werden?";
inline constexpr const char* kOpenExportFolderQuestion =
    "Soll der Ordner mit dem Verzeichnis VTX Umgebung jetzt geöffnet werden?";
// The closing text with that question as its last line: the next line of a text
// without paragraphs (the complete export's "Umgebung wurde erstellt" and
// "Zum Versenden: ..." keep their two lines, the question is the third), a
// paragraph of its own in a warning of paragraphs.
std::string WithOpenQuestion(std::string_view closingText, bool archiveWritten);
// The folder that holds `item` (its path without the last name); a drive root keeps
// its backslash ("C:\"), as the shell opens "C:" as the drive's current folder.
std::string FolderHolding(std::string_view item);
// The box when neither the folder with `item` selected nor the folder itself could
// be opened: names the folder and what lies in it (`item`, the archive or the
// export folder).
std::string FolderNotOpenedText(std::string_view item, bool archive);
// The closing warning instead of the success box: how many files failed, the first
// few of them by name (`named` holds at most kNamedFailures).
std::string FailedFilesText(long failedCount, const std::vector<std::string>& named);

}  // namespace vtx
