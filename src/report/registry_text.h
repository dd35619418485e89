// Registry texts that need no Windows headers: the record a subkey listing fills
// and the cut of a buffer at its terminator.
#pragma once
#include <string>
#include <string_view>

namespace vtx {

// One subkey of a listing: its name and its class string ("" when it has none).
struct SubkeyEntry {
    std::string Name;
    std::string ClassName;
};

// The characters before the first NUL of `text`; all of it when there is none.
std::string TrimAtNul(std::string_view text);

}  // namespace vtx
