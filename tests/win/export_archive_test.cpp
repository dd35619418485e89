// The archive of an export folder on real folders: what lands beside the folder,
// what stays when something is in the way, and that no temporary file is ever
// left behind. What is inside each archive is checked by the test command's
// independent reader (see KeepArchive).
#include "export/export_archive_win.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "common/handles_win.h"
#include "common/unicode_win.h"
#include "export/export_layout.h"
#include "fixtures/archive_keep_win.h"
#include "fixtures/temp_folder_win.h"
#include "fixtures/tree_snapshot_win.h"

namespace vtx {
namespace {

using ::testing::HasSubstr;
using vtx::testing::KeepArchive;
using vtx::testing::ReadFileBytes;
using vtx::testing::SnapshotNames;
using vtx::testing::SnapshotTree;
using vtx::testing::TempFolder;
using vtx::testing::Tree;
using vtx::testing::WriteFileBytes;

std::string Noise(size_t count) {
    std::string bytes(count, '\0');
    unsigned seed = 99;
    for (char& c : bytes) {
        seed = seed * 1103515245u + 12345u;
        c = static_cast<char>(seed >> 16);
    }
    return bytes;
}

// The names beside the export folder: the folder, its archive and nothing else
// (no temporary file).
std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW data;
    FindHandle find(FindFirstFileW(Widen(folder + "\\*").c_str(), &data));
    if (!find) return names;
    do {
        const std::string name = Narrow(data.cFileName);
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileW(find.get(), &data));
    std::sort(names.begin(), names.end());
    return names;
}

class ExportArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        const struct {
            const char* path;
            std::string bytes;
        } files[] = {
            {"VTX.log", "Allgemeine Infos:\r\n\r\nRAM Total:        23.54 GB\r\n"},
            {"APP\\Velatrix-Tunes.ini", "[Programm]\r\nSprache=Deutsch\r\n"},
            {"APP\\Velatrix-Tunes 6.exe", ""},
            {"APP\\Grüße aus Köln.ini", "[Grüße]\r\n"},
            {"APP\\Musik\\\u6B4C \u03A9.mp3", ""},
            {"APP\\Cover\\\U0001F600 \u0158.jpg", ""},
            {"USR\\Init.vtx", Noise(300 * 1024)},
            {"USR\\Fehler.log", std::string(200000, 'F')},
        };
        for (const auto& file : files) ASSERT_TRUE(WriteFileBytes(folder_ + "\\" + file.path, file.bytes)) << file.path;
        ASSERT_TRUE(CreateDirectoryW(Widen(folder_ + "\\APP\\Leer").c_str(), nullptr));
        ASSERT_TRUE(SetFileAttributesW(Widen(folder_ + "\\APP\\Velatrix-Tunes.ini").c_str(),
                                       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
    }

    TempFolder root_{"archive"};
    const std::string target_ = root_ / "Ziel";
    const std::string folder_ = target_ + "\\VTX Umgebung";
    const std::string archive_ = folder_ + ".zip";
};

TEST_F(ExportArchiveTest, PacksTheFolderBesideItAndReplacesAnEarlierArchive) {
    ASSERT_TRUE(WriteFileBytes(archive_, "an earlier archive"));
    const Tree folderBefore = SnapshotTree(folder_);

    const ArchiveResult result = ArchiveExportFolder(folder_, &NoMessagePump);
    EXPECT_TRUE(result.written) << result.reason;
    EXPECT_FALSE(result.cancelled);
    EXPECT_EQ(result.archive, archive_);
    EXPECT_THAT(NamesIn(target_), ::testing::ElementsAre("VTX Umgebung", "VTX Umgebung.zip"));
    EXPECT_EQ(ReadFileBytes(archive_).substr(0, 4), "PK\x03\x04");
    // The folder itself is left as it was: nothing added, nothing changed.
    EXPECT_EQ(vtx::testing::DescribeDifferences(folderBefore, SnapshotTree(folder_)), "");
    EXPECT_TRUE(KeepArchive(archive_, "archive-of-a-folder"));

    // The closing text keeps the export's own first line.
    ExportResult exported;
    exported.folder = folder_;
    exported.message = kExportDoneText;
    EXPECT_EQ(ClosingText(exported, result), "Umgebung wurde erstellt\nZum Versenden: " + archive_);
}

TEST_F(ExportArchiveTest, WhatStandsInTheWayIsNamedAndLeftAsItWas) {
    struct Case {
        const char* what;
        std::function<void(ExportArchiveTest&)> arrange;
        const char* reason;
    };
    std::vector<FileHandle> locks;
    const auto lock = [&](const std::string& path, DWORD share) {
        locks.emplace_back(CreateFileW(Widen(path).c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(locks.back()) << path;
    };
    const Case cases[] = {
        {"a folder of the archive's name",
         [](ExportArchiveTest& t) { ASSERT_TRUE(WriteFileBytes(t.archive_ + "\\Notiz.txt", "meins")); },
         "an seiner Stelle steht ein Verzeichnis gleichen Namens"},
        {"an earlier archive held open",
         [&](ExportArchiveTest& t) {
             ASSERT_TRUE(WriteFileBytes(t.archive_, "an earlier archive"));
             lock(t.archive_, FILE_SHARE_READ);
         },
         "die frühere Datei dieses Namens konnte nicht ersetzt werden"},
        {"a file of the folder that cannot be read",
         [&](ExportArchiveTest& t) {
             ASSERT_TRUE(WriteFileBytes(t.archive_, "an earlier archive"));
             lock(t.folder_ + "\\USR\\Init.vtx", 0);
         },
         "die Datei "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_NO_FATAL_FAILURE(c.arrange(*this));
        const Tree before = SnapshotTree(target_);
        const ArchiveResult result = ArchiveExportFolder(folder_, &NoMessagePump);
        EXPECT_FALSE(result.written);
        EXPECT_FALSE(result.cancelled);
        EXPECT_THAT(result.reason, HasSubstr(c.reason));
        locks.clear();
        // Everything as it was, no temporary file.
        EXPECT_EQ(vtx::testing::DescribeDifferences(before, SnapshotTree(target_)), "");

        ExportResult exported;
        exported.folder = folder_;
        exported.message = kExportDoneText;
        const std::string text = ClosingText(exported, result);
        EXPECT_THAT(text, ::testing::StartsWith("Umgebung wurde erstellt\n\nDas Archiv " + archive_ +
                                                " konnte nicht geschrieben werden: " + c.reason));
        EXPECT_THAT(text, HasSubstr("Bitte komprimieren Sie das Verzeichnis " + folder_ + " selbst"));
        vtx::testing::RemoveTree(archive_);
        DeleteFileW(Widen(archive_).c_str());
    }
    EXPECT_THAT(NamesIn(target_), ::testing::ElementsAre("VTX Umgebung"));
}

TEST_F(ExportArchiveTest, APumpThatStopsLeavesNoArchive) {
    ASSERT_TRUE(WriteFileBytes(archive_, "an earlier archive"));
    int calls = 0;
    const MessagePump stopAtTheFifth = [&calls] { return ++calls < 5; };
    const ArchiveResult result = ArchiveExportFolder(folder_, stopAtTheFifth);
    EXPECT_TRUE(result.cancelled);
    EXPECT_FALSE(result.written);
    EXPECT_EQ(calls, 5);
    // An earlier archive is only ever replaced by a complete one.
    EXPECT_EQ(ReadFileBytes(archive_), "an earlier archive");
    EXPECT_THAT(NamesIn(target_), ::testing::ElementsAre("VTX Umgebung", "VTX Umgebung.zip"));
}

TEST_F(ExportArchiveTest, AFolderThatIsNotThereGivesNoArchive) {
    const ArchiveResult result = ArchiveExportFolder(target_ + "\\Fehlt", &NoMessagePump);
    EXPECT_FALSE(result.written);
    EXPECT_THAT(result.reason, HasSubstr("konnte nicht gelesen werden"));
    EXPECT_THAT(NamesIn(target_), ::testing::ElementsAre("VTX Umgebung"));
}

TEST(ToOemName, TakesWhatTheOemCodePageHoldsAndNothingElse) {
    EXPECT_EQ(ToOemName("VTX Umgebung/VTX.log"), "VTX Umgebung/VTX.log");
    for (const char* outside : {"\u6B4C.ini", "\U0001F600.jpg", "\u0158eka"}) {
        if (GetOEMCP() == 437 || GetOEMCP() == 850) EXPECT_EQ(ToOemName(outside), std::nullopt) << outside;
    }
    // What it returns reads back as the same name.
    for (const char* name : {"Grüße aus Köln.ini", "Ärger/ß", "\u03A9"}) {
        const std::optional<std::string> oem = ToOemName(name);
        if (!oem) continue;
        wchar_t back[64] = {};
        const int length = MultiByteToWideChar(CP_OEMCP, 0, oem->data(), static_cast<int>(oem->size()), back, 64);
        EXPECT_EQ(Narrow(std::wstring(back, static_cast<size_t>(length))), name);
    }
    if (GetOEMCP() == 437 || GetOEMCP() == 850) {
        EXPECT_EQ(ToOemName("Grüße"), "Gr\x81\xE1" "e");
    }
}

}  // namespace
}  // namespace vtx
