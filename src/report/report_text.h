// The report's lines as one text, for the places it leaves the program.
#pragma once
#include <string>
#include <vector>

namespace vtx {

// Every line followed by CR LF: VTX.log, the file of "/report FILE" and standard
// output. No lines give "".
std::string ReportText(const std::vector<std::string>& lines);

// The lines separated by CR LF, without a line end after the last: the clipboard.
std::string ClipboardText(const std::vector<std::string>& lines);

}  // namespace vtx
