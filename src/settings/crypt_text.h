// The text cipher of the settings file. A small object with a key and a working
// text: callers set KeyString, then Text, run methods that transform the working
// text in place, and read Text back. Texts are ANSI bytes, one character per byte.
// Portable: no Windows headers.
#pragma once
#include <string>

#include "settings/random.h"

namespace vtx {

class clsCryptText {
public:
    // The cipher draws on `random`, normally the process-wide generator.
    explicit clsCryptText(PlatformRandom& random = ProcessRandom()) : random_(&random) {}

    // Stores the key and seeds the generator from it; the keystream that follows
    // depends on the key alone, not on earlier use of the generator.
    void KeyString(const std::string& key);
    void Text(const std::string& text) { text_ = text; }
    const std::string& Text() const { return text_; }

    // XORs every byte with the next keystream byte. Its own inverse when run again
    // right after the same KeyString.
    void CryptMitXOR();
    // Spreads every 3 bytes over 4 characters with codes 59..122: the low 6 bits of
    // each byte, then one character holding the top 2 bits of the group.
    void Stretch();
    // The inverse of Stretch.
    void DoCd();

private:
    void Seed();

    PlatformRandom* random_;
    std::string key_;
    std::string text_;
};

}  // namespace vtx
