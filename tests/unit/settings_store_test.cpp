#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <random>
#include <string>

#include "fixtures/memory_db_file.h"
#include "settings/crypt_text.h"
#include "settings/init_dbase.h"

namespace vtx {
namespace {

// A record as the jukebox writes it, with fixed padding.
std::string MakeRecord(const std::string& plain) {
    clsCryptText crypt;
    crypt.KeyString("qdr4");
    crypt.Text(plain);
    crypt.CryptMitXOR();
    crypt.Stretch();
    const std::string& encoded = crypt.Text();
    std::string length = std::to_string(encoded.size());
    length.insert(0, 3 - length.size(), '0');
    return length + std::string(197 - encoded.size(), 'Q') + encoded;
}

// The plain text held by record `number` (from 1) of `file`.
std::string DecodeRecord(const std::string& file, std::size_t number) {
    const std::string record = file.substr((number - 1) * 200, 200);
    clsCryptText crypt;
    crypt.KeyString("qdr4");
    crypt.Text(record.substr(200 - std::stoul(record.substr(0, 3))));
    crypt.DoCd();
    crypt.CryptMitXOR();
    return crypt.Text();
}

std::string Records(std::size_t count, const std::string& prefix = "Name") {
    std::string file;
    for (std::size_t i = 1; i <= count; ++i) file += MakeRecord(prefix + std::to_string(i) + "=v");
    return file;
}

class SettingsStoreTest : public ::testing::Test {
protected:
    MemoryDbFile file;
    float seconds = 45296.75f;
    SettingsStore store{file, [this] { return seconds; }};

    std::string Read(const std::string& name, bool recordNumber = false) {
        return store.ReadDbValue(name, recordNumber, "dflt");
    }
};

TEST_F(SettingsStoreTest, WrittenValuesReadBack) {
    struct Case {
        std::string name;
        std::string value;
    };
    const Case cases[] = {
        {"Skin", "Holz-Dunkel 2"},
        {"Pfad", "C:\\Musik\\Holz-D\xFCnkel"},
        {"Bytes", std::string("\x01\x7F\x80\xFF\0;z", 7)},
        {"", "unnamed"},
        {"Lang", std::string(147 - 5, 'x')},
    };
    for (const Case& c : cases) ASSERT_TRUE(store.WriteDbValue(c.name, c.value)) << c.name;
    store.InvalidateDb();
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(Read(cases[i].name), cases[i].value);
        EXPECT_EQ(Read(cases[i].name, true), std::to_string(i + 1));
    }
}

TEST_F(SettingsStoreTest, RecordsHaveTheJukeboxLayout) {
    ASSERT_TRUE(store.WriteDbValue("Skin", "Holz-Dunkel 2"));
    const std::string bytes = *file.bytes;
    ASSERT_EQ(bytes.size(), 200u);
    EXPECT_EQ(bytes.substr(0, 3), "024");
    EXPECT_EQ(bytes.substr(176), "PsZGoCE^X`BnFDK^FQyHg_xH");
    for (std::size_t i = 3; i < 176; ++i) {
        ASSERT_GE(bytes[i], 'A') << i;
        ASSERT_LE(bytes[i], 'y') << i;
    }

    // The padding is drawn after mixing in the time of day.
    seconds = 1.5f;
    ASSERT_TRUE(store.WriteDbValue("Skin", "Holz-Dunkel 2"));
    EXPECT_NE(file.bytes->substr(3, 173), bytes.substr(3, 173));
    EXPECT_EQ(file.bytes->substr(176), bytes.substr(176));
}

TEST_F(SettingsStoreTest, SingleRecordFileAnswersValueAndRecordNumber) {
    file.bytes = MakeRecord("Skin=Holz-Dunkel 2");
    EXPECT_EQ(Read("Skin"), "Holz-Dunkel 2");
    EXPECT_EQ(Read("Skin", true), "1");
    EXPECT_EQ(Read("skin"), "dflt");  // names match exactly
    EXPECT_EQ(Read("Ski"), "dflt");
    EXPECT_EQ(Read("Skin "), "dflt");
    EXPECT_EQ(store.ReadDbValue("Farbe", false, ""), "");
}

TEST_F(SettingsStoreTest, FirstRecordWithTheNameWinsForReadingAndOverwriting) {
    file.bytes = MakeRecord("Other=1") + MakeRecord("Skin=first") + MakeRecord("Skin=second");
    EXPECT_EQ(Read("Skin"), "first");
    EXPECT_EQ(Read("Skin", true), "2");

    ASSERT_TRUE(store.WriteDbValue("Skin", "third"));
    ASSERT_EQ(file.bytes->size(), 600u);
    EXPECT_EQ(DecodeRecord(*file.bytes, 2), "Skin=third");
    EXPECT_EQ(file.bytes->substr(400), MakeRecord("Skin=second"));
}

TEST_F(SettingsStoreTest, EmptyFirstValueReadsAsDefaultButKeepsItsRecord) {
    file.bytes = MakeRecord("Skin=") + MakeRecord("Skin=later");
    EXPECT_EQ(Read("Skin"), "dflt");
    EXPECT_EQ(Read("Skin", true), "1");
    ASSERT_TRUE(store.WriteDbValue("Skin", "now"));
    EXPECT_EQ(DecodeRecord(*file.bytes, 1), "Skin=now");
}

TEST_F(SettingsStoreTest, ValueEndsAtASecondEquals) {
    ASSERT_TRUE(store.WriteDbValue("Skin", "a=b=c"));
    EXPECT_EQ(DecodeRecord(*file.bytes, 1), "Skin=a=b=c");
    store.InvalidateDb();
    EXPECT_EQ(Read("Skin"), "a");

    file.bytes = MakeRecord("Skin==x");  // nothing before the second "="
    store.InvalidateDb();
    EXPECT_EQ(Read("Skin"), "dflt");
    EXPECT_EQ(Read("Skin", true), "1");
}

TEST_F(SettingsStoreTest, PlainTextOf147FitsAnd148DoesNot) {
    const std::string name = "Skin";
    ASSERT_TRUE(store.WriteDbValue(name, std::string(147 - 5, 'v')));
    ASSERT_EQ(file.bytes->size(), 200u);
    EXPECT_EQ(file.bytes->substr(0, 3), "196");
    EXPECT_GE((*file.bytes)[3], 'A');
    EXPECT_LE((*file.bytes)[3], 'y');

    const std::string before = *file.bytes;
    EXPECT_FALSE(store.WriteDbValue(name, std::string(148 - 5, 'w')));
    EXPECT_FALSE(store.WriteDbValue("Neu", std::string(200, 'w')));
    EXPECT_EQ(*file.bytes, before);

    MemoryDbFile missing;
    SettingsStore other(missing, [] { return 0.0f; });
    EXPECT_FALSE(other.WriteDbValue(name, std::string(148 - 5, 'w')));
    EXPECT_FALSE(missing.Exists());  // nothing written, not even an empty file
}

TEST_F(SettingsStoreTest, OverwriteKeepsTheLoadedCopyAppendReloads) {
    file.bytes = MakeRecord("Skin=alt");
    EXPECT_EQ(Read("Skin"), "alt");
    ASSERT_TRUE(store.DbLoaded());

    ASSERT_TRUE(store.WriteDbValue("Skin", "neu"));
    EXPECT_TRUE(store.DbLoaded());
    EXPECT_EQ(Read("Skin"), "alt");  // the in-memory copy is not refreshed by an overwrite
    EXPECT_EQ(DecodeRecord(*file.bytes, 1), "Skin=neu");

    ASSERT_TRUE(store.WriteDbValue("Farbe", "rot"));
    EXPECT_FALSE(store.DbLoaded());
    EXPECT_EQ(Read("Skin"), "neu");
    EXPECT_EQ(Read("Farbe", true), "2");
    EXPECT_TRUE(store.DbLoaded());
}

TEST_F(SettingsStoreTest, ReadsUseTheLoadedCopyUntilInvalidated) {
    file.bytes = MakeRecord("Skin=eins");
    EXPECT_EQ(Read("Skin"), "eins");
    file.bytes = MakeRecord("Skin=zwei");
    EXPECT_EQ(Read("Skin"), "eins");
    store.InvalidateDb();
    EXPECT_EQ(Read("Skin"), "zwei");

    file.bytes.reset();  // deleted: the default, whatever is loaded
    EXPECT_EQ(Read("Skin"), "dflt");
    store.InvalidateDb();
    EXPECT_EQ(Read("Skin"), "dflt");
    EXPECT_FALSE(store.LoadDb());
    EXPECT_FALSE(store.DbLoaded());
    EXPECT_EQ(store.DbBuffer(), "");
}

TEST_F(SettingsStoreTest, MissingFileIsCreatedByTheFirstWrite) {
    EXPECT_EQ(Read("Skin"), "dflt");
    EXPECT_FALSE(file.Exists());
    ASSERT_TRUE(store.WriteDbValue("Skin", "Holz"));
    EXPECT_EQ(file.bytes->size(), 200u);
    EXPECT_EQ(Read("Skin"), "Holz");
}

TEST_F(SettingsStoreTest, AppendGoesToTheRoundedRecordAfterTheFileEnd) {
    struct Case {
        std::size_t length;
        std::size_t record;  // round-half-to-even(length / 200) + 1
    };
    const Case cases[] = {{0, 1}, {99, 1}, {100, 1}, {101, 2}, {200, 2}, {300, 3}, {500, 3}, {700, 5}, {1000, 6}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        file.bytes = std::string(c.length, '#');
        store.InvalidateDb();
        EXPECT_EQ(Read("Skin"), "dflt");
        ASSERT_TRUE(store.WriteDbValue("Skin", "Holz"));
        const std::size_t offset = (c.record - 1) * 200;
        EXPECT_EQ(file.bytes->size(), std::max(c.length, offset + 200));
        EXPECT_EQ(DecodeRecord(*file.bytes, c.record), "Skin=Holz");
        EXPECT_EQ(file.bytes->substr(0, std::min(c.length, offset)), std::string(std::min(c.length, offset), '#'));
    }
}

TEST_F(SettingsStoreTest, OnlyRecords1To164AreAddressable) {
    // Record 164 is read and written; record 165 is neither.
    file.bytes = Records(163) + MakeRecord("Skin=164");
    EXPECT_EQ(Read("Skin"), "164");
    EXPECT_EQ(Read("Skin", true), "164");
    ASSERT_TRUE(store.WriteDbValue("Skin", "neu"));
    EXPECT_EQ(DecodeRecord(*file.bytes, 164), "Skin=neu");

    file.bytes = Records(163);
    store.InvalidateDb();
    ASSERT_TRUE(store.WriteDbValue("Skin", "appended"));
    EXPECT_EQ(file.bytes->size(), 164u * 200);
    EXPECT_EQ(Read("Skin", true), "164");

    const std::string full = Records(164) + MakeRecord("Skin=165");
    file.bytes = full;
    store.InvalidateDb();
    EXPECT_EQ(Read("Skin"), "dflt");
    EXPECT_EQ(Read("Name164"), "v");
    EXPECT_FALSE(store.WriteDbValue("Skin", "neu"));
    EXPECT_FALSE(store.WriteDbValue("Farbe", "rot"));
    EXPECT_EQ(*file.bytes, full);

    // A file far beyond the addressable part is loaded only up to it.
    file.bytes = MakeRecord("Skin=Holz") + std::string(1000000, 'x');
    store.InvalidateDb();
    EXPECT_EQ(Read("Skin"), "Holz");
    EXPECT_EQ(store.DbBuffer().size(), 164u * 200);
}

TEST_F(SettingsStoreTest, FileErrorsGiveTheDefaultOrFalse) {
    file.bytes = MakeRecord("Skin=Holz");
    file.failRead = true;
    EXPECT_EQ(Read("Skin"), "dflt");
    EXPECT_FALSE(store.DbLoaded());

    file.failRead = false;
    file.failOpen = true;
    EXPECT_FALSE(store.WriteDbValue("Skin", "neu"));
    EXPECT_FALSE(store.WriteDbValue("Farbe", "rot"));
    file.failOpen = false;
    file.failWrite = true;
    EXPECT_FALSE(store.WriteDbValue("Farbe", "rot"));
    EXPECT_EQ(*file.bytes, MakeRecord("Skin=Holz"));
}

// Whatever the file holds, reading never fails and never reads outside a record.
TEST_F(SettingsStoreTest, CorruptFilesGiveTheDefault) {
    const std::string skin = MakeRecord("Skin=Holz");
    const std::string text = skin.substr(3);  // padding and encoded text
    const std::string encoded = skin.substr(200 - 12);
    struct Case {
        const char* label;
        std::string bytes;
    };
    const Case cases[] = {
        {"empty file", ""},
        {"one byte", "0"},
        {"199 bytes", skin.substr(0, 199)},
        {"201 bytes", skin + "0"},
        {"400 bytes less one", skin + skin.substr(0, 199)},
        {"letters as length", "9x9" + text},
        {"negative length", "-12" + text},
        {"blank in length", " 12" + text},
        {"sign in length", "+12" + text},
        {"exponent as length", "1e2" + text},
        {"hex prefix as length", "&H0" + text},
        {"NUL bytes as length", std::string(3, '\0') + text},
        {"length above the record", "999" + text},
        {"length 200", "200" + text},
        {"length 198", "198" + text},
        {"length 197 over short text", "197" + text},
        {"length 0", "000" + text},
        {"empty record text", "000" + std::string(197, 'A')},
        {"length one short", "011" + text},
        {"no equals sign", MakeRecord("SkinHolz")},
        {"all zero record", std::string(200, '\0')},
        {"all 0xFF record", std::string(200, '\xFF')},
        {"non-numeric field hides later records", "abc" + text + skin},
        {"name's first character broken", "012" + std::string(185, 'A') + "\x01" + encoded.substr(1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        file.bytes = c.bytes;
        store.InvalidateDb();
        EXPECT_EQ(Read("Skin"), "dflt");
        EXPECT_EQ(Read("Skin", true), "dflt");
    }

    // A numeric but wrong length field does not end the scan.
    file.bytes = "999" + text + skin;
    store.InvalidateDb();
    EXPECT_EQ(Read("Skin", true), "2");
}

TEST_F(SettingsStoreTest, RandomBytesNeverCrashReadOrWrite) {
    std::mt19937 engine(20240611);
    for (int round = 0; round < 300; ++round) {
        const std::size_t records = engine() % 6;
        std::size_t length = records * 200;
        if (round % 3 == 0) length += engine() % 200;
        std::string bytes(length, '\0');
        for (char& ch : bytes) ch = static_cast<char>(engine() & 0xFF);
        // Often a valid length field, so the decoder sees the random text.
        for (std::size_t r = 0; r + 200 <= length; r += 200)
            if (engine() % 2) bytes.replace(r, 3, std::to_string(100 + engine() % 900));
        file.bytes = bytes;
        store.InvalidateDb();
        const std::string value = Read("Skin");
        const std::string number = Read("Skin", true);
        if (length % 200 != 0 || length == 0) {
            EXPECT_EQ(value, "dflt");
            EXPECT_EQ(number, "dflt");
        }
        ASSERT_TRUE(store.WriteDbValue("Skin", "Holz"));
    }
}

}  // namespace
}  // namespace vtx
