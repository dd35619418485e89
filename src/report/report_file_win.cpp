#include "report/report_file_win.h"

#include <windows.h>

#include "common/handles_win.h"
#include "common/unicode_win.h"
#include "report/report_text.h"

namespace vtx {
namespace {

// `bytes` into a fresh file at `path`; a partly written file is removed again.
bool WriteFreshFile(const std::string& path, std::string_view bytes) {
    if (path.empty() || path.find('\0') != std::string::npos) return false;
    const std::wstring widePath = WidenPath(path);
    bool written = false;
    {
        FileHandle file(CreateFileW(widePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
        if (!file) return false;
        written = WriteAll(file.get(), bytes) && FlushFileBuffers(file.get());
    }
    if (!written) DeleteFileW(widePath.c_str());
    return written;
}

}  // namespace

bool WriteReportFile(const std::string& path, const std::vector<std::string>& lines) {
    return WriteFreshFile(path, ToAnsi(ReportText(lines)));
}

bool WriteSystemProfileFile(const std::string& path, const std::vector<std::string>& lines) {
    return WriteFreshFile(path, "\xEF\xBB\xBF" + ReportText(lines));
}

}  // namespace vtx
