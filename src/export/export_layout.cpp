#include "export/export_layout.h"

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

}  // namespace

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
