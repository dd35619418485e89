#include "export/export_layout.h"

#include "export/attribute_mask.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vtx {
namespace {

constexpr const char* kExport = "D:\\Support\\VTX Umgebung";

TEST(ExportDestination, MapsTheProgramFolderBeforeTheDataFolder) {
    struct Case {
        const char* source;
        const char* installDir;
        const char* dataDir;
        const char* expected;
    };
    const Case cases[] = {
        {"C:\\VT6\\Skins\\Skin.ini", "C:\\VT6", "C:\\Users\\A\\VT6", "D:\\Support\\VTX Umgebung\\APP\\Skins\\Skin.ini"},
        {"C:\\Users\\A\\VT6\\Init.vtx", "C:\\VT6", "C:\\Users\\A\\VT6", "D:\\Support\\VTX Umgebung\\USR\\Init.vtx"},
        // The data folder inside the program folder: the program folder's mapping wins.
        {"C:\\VT6\\Daten\\a.txt", "C:\\VT6", "C:\\VT6\\Daten", "D:\\Support\\VTX Umgebung\\APP\\Daten\\a.txt"},
        // The program folder inside the data folder: tested first all the same.
        {"C:\\U\\VT6\\Prog\\a.exe", "C:\\U\\VT6\\Prog", "C:\\U\\VT6", "D:\\Support\\VTX Umgebung\\APP\\a.exe"},
        {"C:\\U\\VT6\\b.ini", "C:\\U\\VT6\\Prog", "C:\\U\\VT6", "D:\\Support\\VTX Umgebung\\USR\\b.ini"},
        // Every occurrence is replaced, not only the first.
        {"VT\\a\\VT\\b.ini", "VT", "Data", "D:\\Support\\VTX Umgebung\\APP\\a\\D:\\Support\\VTX Umgebung\\APP\\b.ini"},
        {"Data\\x\\Data", "VT", "Data", "D:\\Support\\VTX Umgebung\\USR\\x\\D:\\Support\\VTX Umgebung\\USR"},
        // The search is exact: another spelling of a folder does not match.
        {"c:\\vt6\\a.ini", "C:\\VT6", "C:\\Users\\A\\VT6", ""},
        {"E:\\Musik\\a.mp3", "C:\\VT6", "C:\\Users\\A\\VT6", ""},
        // An empty folder text matches nothing.
        {"C:\\Users\\A\\VT6\\a.ini", "", "C:\\Users\\A\\VT6", "D:\\Support\\VTX Umgebung\\USR\\a.ini"},
        {"C:\\x.ini", "", "", ""},
        // Names outside the ANSI code page pass through unchanged (UTF-8).
        {"C:\\VT6\\Ελληνικά.ini", "C:\\VT6", "C:\\D", "D:\\Support\\VTX Umgebung\\APP\\Ελληνικά.ini"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        EXPECT_EQ(ExportDestination(c.source, c.installDir, c.dataDir, kExport), c.expected);
    }
}

TEST(ExportLayout, FolderNamesInsideTheExport) {
    EXPECT_EQ(ExportFolderIn("D:\\Support"), "D:\\Support\\VTX Umgebung");
    EXPECT_EQ(ExportFolderIn("C:\\"), "C:\\VTX Umgebung");

    struct Case {
        const char* skinName;
        const char* expected;
    };
    const Case cases[] = {
        {"Holz-Dunkel 2", "D:\\Support\\VTX Umgebung\\APP\\Skins\\Holz-Dunkel 2\\800x600"},
        {"Holz-dunkel", "D:\\Support\\VTX Umgebung\\APP\\Skins\\Holz-dunkel\\800x600"},
        // Names that would leave the skin folder fall back to the export default.
        {"", "D:\\Support\\VTX Umgebung\\APP\\Skins\\Holz-dunkel\\800x600"},
        {"..", "D:\\Support\\VTX Umgebung\\APP\\Skins\\Holz-dunkel\\800x600"},
        {"..\\..\\..\\Windows", "D:\\Support\\VTX Umgebung\\APP\\Skins\\Holz-dunkel\\800x600"},
        {"a/b", "D:\\Support\\VTX Umgebung\\APP\\Skins\\Holz-dunkel\\800x600"},
        {"C:", "D:\\Support\\VTX Umgebung\\APP\\Skins\\Holz-dunkel\\800x600"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.skinName);
        EXPECT_EQ(SkinExportFolder(kExport, c.skinName, 800, 600), c.expected);
    }
}

TEST(ExportLayout, OnlyTheLowerCaseIniExtensionIsCopied) {
    struct Case {
        const char* source;
        bool copied;
    };
    const Case cases[] = {
        {"C:\\VT6\\Velatrix-Tunes.ini", true}, {"C:\\VT6\\SETUP.INI", false}, {"C:\\VT6\\Setup.Ini", false},
        {"C:\\VT6\\a.ini.bak", false},         {"C:\\VT6\\a.txt", false},     {"C:\\VT6\\README", false},
        // Only the last dot of the whole path counts.
        {"C:\\VT6\\x.ini\\README", false},     {"C:\\VT6\\ini", false},       {"C:\\VT6\\.ini", true},
    };
    for (const Case& c : cases) EXPECT_EQ(IsCopiedInFull(c.source), c.copied) << c.source;
}

TEST(MaskAccepts, TakesEntriesByTheirAttributeBits) {
    struct Case {
        unsigned attributes;
        unsigned mask;
        bool taken;
    };
    const Case cases[] = {
        {0x20, kExportAttributeMask, true},    // archive
        {0x80, kExportAttributeMask, true},    // normal
        {0x01, kExportAttributeMask, true},    // read-only
        {0x800, kExportAttributeMask, true},   // compressed
        {0x02, kExportAttributeMask, false},   // hidden only
        {0x04, kExportAttributeMask, false},   // system only
        {0x06, kExportAttributeMask, false},   // hidden and system
        {0x22, kExportAttributeMask, true},    // hidden with archive
        {0x05, kExportAttributeMask, true},    // system with read-only
        {0x100, kExportAttributeMask, false},  // temporary only
        // Folders only when the mask holds the directory bit.
        {0x10, kExportAttributeMask, false},
        {0x30, kExportAttributeMask, false},
        {0x10, kExportAttributeMask | kDirectoryAttribute, true},
        {0x12, kDirectoryAttribute, true},
        {0x20, kDirectoryAttribute, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MaskAccepts(c.attributes, c.mask), c.taken) << std::hex << c.attributes << " / " << c.mask;
}

TEST(ExportLayout, FailureTextsNameWhatFailed) {
    EXPECT_EQ(FolderNotCreatedText("D:\\x"), "Verzeichnis D:\\x konnte nicht erstellt werden");
    EXPECT_NE(FolderNotDeletedText("D:\\Support\\VTX Umgebung").find("D:\\Support\\VTX Umgebung"), std::string::npos);

    const std::string one = FailedFilesText(1, {"C:\\VT6\\a.ini"});
    EXPECT_NE(one.find("1 Datei konnte nicht"), std::string::npos) << one;
    EXPECT_NE(one.find("\nC:\\VT6\\a.ini"), std::string::npos) << one;
    EXPECT_EQ(one.find("weitere"), std::string::npos) << one;

    const std::vector<std::string> named{"a", "b", "c", "d", "e"};
    const std::string seven = FailedFilesText(7, named);
    EXPECT_NE(seven.find("7 Dateien konnten nicht"), std::string::npos) << seven;
    EXPECT_NE(seven.find("\na\nb\nc\nd\ne\n... und 2 weitere"), std::string::npos) << seven;
}

TEST(ExportLayout, AnIncompleteExportNamesTheTreeLeftOutAndWhy) {
    const std::string drive = TreeNotTakenText("C:\\", ProtectedFolder::DriveRoot, true);
    EXPECT_EQ(drive,
              "Das Verzeichnis C:\\ wurde nicht übernommen: es ist das Stammverzeichnis eines Laufwerks und kein "
              "Programmverzeichnis der Velatrix-Tunes.");
    EXPECT_EQ(TreeNotTakenText("C:", ProtectedFolder::DriveRoot, true), drive);
    const std::string profile = TreeNotTakenText("C:\\Users\\Anna", ProtectedFolder::UserProfile, false);
    EXPECT_NE(profile.find("Profilordner"), std::string::npos) << profile;
    EXPECT_NE(profile.find("kein Datenverzeichnis"), std::string::npos) << profile;

    // The tool's place is named only when the install folder was left out; failed
    // files follow.
    const std::string text = IncompleteExportText({drive}, true, 0, {});
    EXPECT_EQ(text.find("Die Umgebung wurde erstellt, aber nicht vollständig.\n\n" + drive), 0u) << text;
    EXPECT_NE(text.find("'Tools'"), std::string::npos) << text;
    EXPECT_EQ(text.find("nicht kopiert"), std::string::npos) << text;
    const std::string both = IncompleteExportText({profile}, false, 1, {"C:\\VT6\\a.ini"});
    EXPECT_EQ(both.find("'Tools'"), std::string::npos) << both;
    EXPECT_NE(both.find(FailedFilesText(1, {"C:\\VT6\\a.ini"})), std::string::npos) << both;
}

TEST(ExportLayout, TheClosingBoxOffersTheFolderOfWhatIsSent) {
    EXPECT_EQ(WithOpenQuestion("Umgebung wurde erstellt\nZum Versenden: D:\\Support\\VTX Umgebung.zip", true),
              "Umgebung wurde erstellt\nZum Versenden: D:\\Support\\VTX Umgebung.zip\n"
              "Soll der Ordner mit dem Archiv jetzt geöffnet werden?");
    EXPECT_EQ(WithOpenQuestion("Umgebung wurde erstellt\n\nDas Archiv ... und senden Sie es an uns.", false),
              "Umgebung wurde erstellt\n\nDas Archiv ... und senden Sie es an uns.\n\n"
              "Soll der Ordner mit dem Verzeichnis VTX Umgebung jetzt geöffnet werden?");

    struct Case {
        const char* item;
        const char* folder;
    };
    const Case cases[] = {
        {"D:\\Support\\VTX Umgebung.zip", "D:\\Support"},
        {"D:\\Support\\VTX Umgebung", "D:\\Support"},
        // A drive root keeps its backslash: "C:" alone is the drive's current folder.
        {"C:\\VTX Umgebung.zip", "C:\\"},
        {"\\\\server\\share\\VTX Umgebung.zip", "\\\\server\\share"},
    };
    for (const Case& c : cases) EXPECT_EQ(FolderHolding(c.item), c.folder) << c.item;

    EXPECT_EQ(FolderNotOpenedText("D:\\Support\\VTX Umgebung.zip", true),
              "Der Ordner D:\\Support konnte nicht geöffnet werden.\n\nBitte öffnen Sie ihn selbst im Explorer: darin "
              "liegt das Archiv VTX Umgebung.zip.");
    EXPECT_EQ(FolderNotOpenedText("C:\\VTX Umgebung", false),
              "Der Ordner C:\\ konnte nicht geöffnet werden.\n\nBitte öffnen Sie ihn selbst im Explorer: darin liegt "
              "das Verzeichnis VTX Umgebung.");
}

TEST(ExportLayout, ProgressAndCancelTexts) {
    EXPECT_EQ(ProgressCountText(0), "Dateien: 0");
    EXPECT_EQ(ProgressCountText(999), "Dateien: 999");
    EXPECT_EQ(ProgressCountText(1000), "Dateien: 1.000");
    EXPECT_EQ(ProgressCountText(1234567), "Dateien: 1.234.567");
    EXPECT_EQ(ProgressCountText(2147483647), "Dateien: 2.147.483.647");  // the largest count a 32-bit long holds
    EXPECT_EQ(ProgressCountText(-5), "Dateien: 0");
    EXPECT_NE(ExportCancelledText("D:\\x", true).find("D:\\x wurde wieder entfernt"), std::string::npos);
    EXPECT_NE(ExportCancelledText("D:\\x", false).find("von Hand"), std::string::npos);
}

}  // namespace
}  // namespace vtx
