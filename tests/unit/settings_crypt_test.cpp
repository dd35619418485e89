#include <gtest/gtest.h>

#include <random>
#include <string>

#include "settings/crypt_text.h"
#include "settings/random.h"

namespace vtx {
namespace {

std::string Apply(const std::string& text, void (clsCryptText::*method)()) {
    clsCryptText crypt;
    crypt.Text(text);
    (crypt.*method)();
    return crypt.Text();
}

std::string AllBytes(std::size_t length, unsigned seed) {
    std::mt19937 engine(seed);
    std::string text(length, '\0');
    for (char& ch : text) ch = static_cast<char>(engine() & 0xFF);
    return text;
}

TEST(CryptTextStretch, SpreadsGroupsOfThreeOverFourPrintableCharacters) {
    struct Case {
        std::string plain;
        std::string stretched;
    };
    const Case cases[] = {
        {"", ""},
        {"a", "\\K"},
        {"ab", "\\]O"},
        {"abc", "\\]^P"},
        {"abcd", "\\]^P_K"},
        {std::string("\0\0\0", 3), ";;;;"},
        {"\xFF\xFF\xFF", "zzzz"},
        {"\xFF", "zk"},  // a short group keeps its top bits in the full group's place
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.plain);
        EXPECT_EQ(Apply(c.plain, &clsCryptText::Stretch), c.stretched);
    }
}

TEST(CryptTextDoCd, UndoesStretchForEveryLengthAndByte) {
    for (std::size_t length = 0; length <= 200; ++length) {
        SCOPED_TRACE(length);
        const std::string plain = AllBytes(length, static_cast<unsigned>(length));
        const std::string stretched = Apply(plain, &clsCryptText::Stretch);
        ASSERT_EQ(stretched.size(), length + (length + 2) / 3);
        for (const char ch : stretched) {
            ASSERT_GE(ch, ';');
            ASSERT_LE(ch, 'z');
        }
        EXPECT_EQ(Apply(stretched, &clsCryptText::DoCd), plain);
    }
}

// Input read from a corrupt file: any bytes, any length. DoCd stays inside its
// input; a character whose code would fall outside 0..255 stays a blank.
TEST(CryptTextDoCd, MalformedInputGivesBlanksNeverAReadOutside) {
    struct Case {
        std::string input;
        std::string decoded;
    };
    const Case cases[] = {
        {"", ""},
        {"x", ""},
        {"\x01\x01", " "},           // low code below 59: a negative code
        {"\\", ""},                   // one character decodes to nothing
        {"\\]", "\xA1"},              // a truncated group: the top bits come from the last character
        {"\\]^P\x01", "abc"},         // a fifth character starts no output
        {"\x01]^P", " bc"},
        {"\\]^\x01", "a\xA2\xA3"},     // a top-bits character below 59: its bits in two's complement
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.input));
        EXPECT_EQ(Apply(c.input, &clsCryptText::DoCd), c.decoded);
    }
    for (std::size_t length = 0; length <= 300; ++length) {
        const std::string input = AllBytes(length, 1000 + static_cast<unsigned>(length));
        const std::string decoded = Apply(input, &clsCryptText::DoCd);
        const std::size_t expected = length == 0 ? 0 : (length - 1) - (length - 1) / 4;
        ASSERT_EQ(decoded.size(), expected) << length;
    }
}

TEST(CryptTextCryptMitXOR, IsItsOwnInverseUnderTheSameKey) {
    const std::string plain = "Skin=Holz-D\xFCnkel 2" + std::string("\0\xFF", 2);
    clsCryptText crypt;
    crypt.KeyString("qdr4");
    crypt.Text(plain);
    crypt.CryptMitXOR();
    const std::string enciphered = crypt.Text();
    EXPECT_NE(enciphered, plain);
    ASSERT_EQ(enciphered.size(), plain.size());

    // Earlier use of the generator does not matter: the key restarts it.
    for (int i = 0; i < 5; ++i) NextRandom();
    Reseed(4711.5);
    crypt.KeyString("qdr4");
    crypt.CryptMitXOR();
    EXPECT_EQ(crypt.Text(), plain);

    crypt.KeyString("qdr5");
    crypt.Text(plain);
    crypt.CryptMitXOR();
    EXPECT_NE(crypt.Text(), enciphered);
}

// The encoded form is what lands in the settings file; it must not change, or
// existing files stop being readable. Computed independently of this code.
TEST(CryptTextCryptMitXOR, EncodesSettingsAsTheFileFormatDoes) {
    struct Case {
        std::string plain;
        std::string encoded;
    };
    const Case cases[] = {
        {"Skin=Holz-Dunkel 2", "PsZGoCE^X`BnFDK^FQyHg_xH"},
        {"Skin=Holz-D\xFCnkel", "PsZGoCE^X`BnFDT\\FQyHg;"},
    };
    PlatformRandom own;
    clsCryptText crypt(own);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.plain);
        crypt.KeyString("qdr4");
        crypt.Text(c.plain);
        crypt.CryptMitXOR();
        crypt.Stretch();
        EXPECT_EQ(crypt.Text(), c.encoded);

        crypt.KeyString("qdr4");
        crypt.DoCd();
        crypt.CryptMitXOR();
        EXPECT_EQ(crypt.Text(), c.plain);
    }
}

}  // namespace
}  // namespace vtx
