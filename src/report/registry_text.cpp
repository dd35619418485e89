#include "report/registry_text.h"

namespace vtx {

std::string TrimAtNul(std::string_view text) { return std::string(text.substr(0, text.find('\0'))); }

}  // namespace vtx
