// The file version of a program file, read from its version resource.
#pragma once
#include <string>

namespace vtx {

// The dotted version of FormatFileVersion from the file's fixed version record,
// e.g. "6.01.7601.17514". Empty when the path is empty, the file is missing or has
// no version block, and also when a block is reported but cannot be read or holds
// no fixed version record: the report then shows the label with nothing behind
// it rather than numbers that were never in the file.
std::string GetFileVersionString(const std::string& path);

}  // namespace vtx
