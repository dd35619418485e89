#include "report/report_text.h"

namespace vtx {

std::string ReportText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

std::string ClipboardText(const std::vector<std::string>& lines) {
    std::string text = ReportText(lines);
    if (!text.empty()) text.resize(text.size() - 2);
    return text;
}

}  // namespace vtx
