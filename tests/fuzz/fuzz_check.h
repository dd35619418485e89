// What the parsers' fuzz targets share: a property that does not hold ends the
// run at once, naming the target, the line and the condition; and the test for a
// text that is one line of the profile. Portable.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <string>

namespace vtx::fuzzing {

[[noreturn]] inline void Broken(const char* target, const char* what, int line) {
    std::fprintf(stderr, "%s: property broken (line %d): %s\n", target, line, what);
    std::abort();
}

// No control character.
inline bool Printable(const std::string& text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    return true;
}

}  // namespace vtx::fuzzing

// Needs kFuzzTarget, the target's name, in scope.
#define FUZZ_CHECK(condition)                                                        \
    do {                                                                             \
        if (!(condition)) ::vtx::fuzzing::Broken(kFuzzTarget, #condition, __LINE__); \
    } while (false)
