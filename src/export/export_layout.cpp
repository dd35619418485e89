#include "export/export_layout.h"

#include "common/strings.h"

namespace vtx {
namespace {

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    std::string result;
    size_t start = 0;
    for (size_t pos = text.find(from); pos != std::string_view::npos; pos = text.find(from, start)) {
        result.append(text.substr(start, pos - start));
        result.append(to);
        start = pos + from.size();
    }
    result.append(text.substr(start));
    return result;
}

bool IsPlainFolderName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find_first_of("\\/:") == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

std::string WhatItIs(ProtectedFolder kind) {
    switch (kind) {
        case ProtectedFolder::DriveRoot: return "das Stammverzeichnis eines Laufwerks";
        case ProtectedFolder::ShareRoot: return "das Stammverzeichnis einer Netzwerkfreigabe";
        case ProtectedFolder::Windows: return "der Windows-Ordner";
        case ProtectedFolder::ProgramFiles: return "der Ordner aller installierten Programme";
        case ProtectedFolder::ProgramData: return "der Ordner der Programmdaten aller Programme";
        case ProtectedFolder::Users: return "der Ordner aller Benutzerprofile";
        case ProtectedFolder::UserProfile: return "der Profilordner eines Benutzers";
        case ProtectedFolder::None: break;
    }
    return "kein Ordner, der übernommen werden darf";
}

}  // namespace

std::string TreeNotTakenText(std::string_view folder, ProtectedFolder kind, bool programTree) {
    // The install folder of a tool in C:\Tools is "C:": shown as the drive it means.
    std::string shown(folder);
    if (shown.size() == 2 && shown[1] == ':') shown += '\\';
    return "Das Verzeichnis " + shown + " wurde nicht übernommen: es ist " + WhatItIs(kind) +
           " und kein " + (programTree ? "Programmverzeichnis" : "Datenverzeichnis") + " der Velatrix-Tunes.";
}

std::string IncompleteExportText(const std::vector<std::string>& notTaken, bool programTreeNotTaken,
                                 long failedCount, const std::vector<std::string>& named) {
    std::string text = "Die Umgebung wurde erstellt, aber nicht vollständig.";
    for (const std::string& paragraph : notTaken) text += "\n\n" + paragraph;
    if (programTreeNotTaken)
        text += "\n\nBitte legen Sie das Diagnostic-Tool in das 'Tools'-Verzeichnis der Velatrix-Tunes und "
                "erstellen Sie den Fehlerbericht erneut.";
    if (failedCount > 0) text += "\n\n" + FailedFilesText(failedCount, named);
    return text;
}

std::string ExportCancelledText(std::string_view folder, bool removed) {
    std::string text = "Das Erstellen der Umgebung wurde abgebrochen.";
    if (removed)
        text += " Das unvollständige Verzeichnis " + std::string(folder) + " wurde wieder entfernt.";
    else
        text += " Das unvollständige Verzeichnis " + std::string(folder) +
                " konnte nicht vollständig entfernt werden; bitte löschen Sie es von Hand.";
    return text;
}

std::string ExportFolderHoldsJukeboxText(std::string_view folder) {
    return "Das Verzeichnis " + std::string(folder) +
           " kann die Umgebung nicht aufnehmen: darin liegen die Velatrix-Tunes selbst. Es wurde nichts "
           "geschrieben.\n\nBitte wählen Sie ein anderes Verzeichnis.";
}

std::string ProgressCountText(long files) {
    // Appended, never inserted in place: GCC 12 mistakes an insert into the string's
    // own buffer for an overlapping copy of 2 GiB (-Wrestrict) on 32-bit targets.
    return "Dateien: " + GroupDigits(std::to_string(files < 0 ? 0 : files), ".");
}

std::string ExportFolderIn(std::string_view chosen) {
    std::string folder(chosen);
    if (folder.empty() || folder.back() != '\\') folder.push_back('\\');
    return folder + kExportFolderName;
}

std::string SkinExportFolder(std::string_view exportDir, std::string_view skinName, int width, int height) {
    const std::string_view skin = IsPlainFolderName(skinName) ? skinName : std::string_view(kExportSkinDefault);
    std::string folder(exportDir);
    folder += "\\APP\\Skins\\";
    folder += skin;
    folder += "\\" + std::to_string(width) + "x" + std::to_string(height);
    return folder;
}

std::string ExportDestination(std::string_view source, std::string_view installDir, std::string_view dataDir,
                              std::string_view exportDir) {
    const std::string exportFolder(exportDir);
    if (!installDir.empty() && source.find(installDir) != std::string_view::npos)
        return ReplaceAll(source, installDir, exportFolder + "\\APP");
    if (!dataDir.empty() && source.find(dataDir) != std::string_view::npos)
        return ReplaceAll(source, dataDir, exportFolder + "\\USR");
    return {};
}

bool IsCopiedInFull(std::string_view source) {
    // Only the last dot of the whole path counts, as GetExtension has it.
    const size_t dot = source.rfind('.');
    return dot != std::string_view::npos && source.substr(dot + 1) == kCopiedExtension;
}

std::string FolderNotCreatedText(std::string_view folder) {
    return "Verzeichnis " + std::string(folder) + " konnte nicht erstellt werden";
}

std::string FolderNotDeletedText(std::string_view folder) {
    return "Das Verzeichnis " + std::string(folder) +
           " einer früheren Umgebung konnte nicht vollständig gelöscht werden. Die neue Umgebung wurde nicht "
           "erstellt.\n\nBitte schließen Sie alle Programme, die Dateien daraus geöffnet haben, oder löschen Sie das "
           "Verzeichnis von Hand und versuchen Sie es erneut.";
}

std::string ArchivePathFor(std::string_view exportFolder) { return std::string(exportFolder) + kArchiveExtension; }

std::string WithArchiveLine(std::string_view exportText, std::string_view archive) {
    // A one-line text takes the archive as its second line; a longer one, as a
    // paragraph of its own.
    const bool oneLine = exportText.find('\n') == std::string_view::npos;
    return std::string(exportText) + (oneLine ? "\n" : "\n\n") + "Zum Versenden: " + std::string(archive);
}

std::string WithArchiveFailure(std::string_view exportText, std::string_view archive, std::string_view folder,
                               std::string_view reason) {
    std::string text(exportText);
    text += "\n\nDas Archiv " + std::string(archive) + " konnte nicht geschrieben werden";
    if (!reason.empty()) text += ": " + std::string(reason);
    text += ".\nBitte komprimieren Sie das Verzeichnis " + std::string(folder) + " selbst (Zip, Rar etc.) und senden Sie es an uns.";
    return text;
}

std::string WithOpenQuestion(std::string_view closingText, bool archiveWritten) {
    // The short box of a complete export asks on its next line; a warning of
    // paragraphs, in a paragraph of its own.
    const bool paragraphs = closingText.find("\n\n") != std::string_view::npos;
    return std::string(closingText) + (paragraphs ? "\n\n" : "\n") +
           (archiveWritten ? kOpenArchiveFolderQuestion : kOpenExportFolderQuestion);
}

std::string FolderHolding(std::string_view item) {
    std::string folder = GetParentPath(item);
    if (folder.size() == 2 && folder[1] == ':') folder += '\\';
    return folder;
}

std::string FolderNotOpenedText(std::string_view item, bool archive) {
    return "Der Ordner " + FolderHolding(item) + " konnte nicht geöffnet werden.\n\nBitte öffnen Sie ihn selbst im "
           "Explorer: darin liegt " + (archive ? "das Archiv " : "das Verzeichnis ") + GetFileName(item, true) + ".";
}

std::string FailedFilesText(long failedCount, const std::vector<std::string>& named) {
    std::string text = "Die Umgebung wurde erstellt, aber ";
    text += failedCount == 1 ? "1 Datei konnte" : std::to_string(failedCount) + " Dateien konnten";
    text += " nicht kopiert oder angelegt werden:\n";
    for (const std::string& name : named) text += "\n" + name;
    const long unnamed = failedCount - static_cast<long>(named.size());
    if (unnamed > 0) text += "\n... und " + std::to_string(unnamed) + " weitere";
    text += "\n\nBitte schließen Sie die Velatrix-Tunes und erstellen Sie den Fehlerbericht erneut.";
    return text;
}

}  // namespace vtx
