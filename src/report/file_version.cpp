#include "report/file_version.h"

namespace vtx {
namespace {

std::string TwoDigits(uint16_t part) {
    std::string text = std::to_string(part);
    return part < 10 ? "0" + text : text;
}

}  // namespace

uint16_t HiWord(uint32_t word) { return static_cast<uint16_t>(word >> 16); }
uint16_t LoWord(uint32_t word) { return static_cast<uint16_t>(word & 0xFFFFu); }

std::string FormatFileVersion(uint32_t ms, uint32_t ls) {
    std::string text = std::to_string(HiWord(ms)) + "." + TwoDigits(LoWord(ms)) + ".";
    if (ls == 0) return text + "0000";
    return text + TwoDigits(HiWord(ls)) + "." + TwoDigits(LoWord(ls));
}

}  // namespace vtx
