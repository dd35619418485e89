// The short dotted file version the report prints behind a program's name.
#pragma once
#include <cstdint>
#include <string>

namespace vtx {

// The high and low 16-bit halves of a 32-bit version word, as unsigned numbers.
uint16_t HiWord(uint32_t word);
uint16_t LoWord(uint32_t word);

// major.minor.build.revision from the file version words `ms` and `ls` of the
// fixed version record: major plain, the others with at least two digits, and
// "0000" in place of build and revision when `ls` is zero:
// 6.1.7601.17514 -> "6.01.7601.17514", 2.5.0.3 -> "2.05.00.03", 1.0.0.0 -> "1.00.0000".
std::string FormatFileVersion(uint32_t ms, uint32_t ls);

}  // namespace vtx
