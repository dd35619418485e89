// The diagnostic report as text: facts gathered by the probes go in, the exact
// lines of the log list come out. Support staff read these lines (on screen and
// in VTX.log), so every label, column and status word is fixed.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vtx {

struct CheckedFile {
    std::string path;  // full path; the report shows its file name
    bool exists = false;
};

struct CheckedComponent {
    std::string entry;  // ProgID ";" file name
    bool registered = false;
};

struct DriveIdLine {
    std::string id;
    std::int16_t status = 0;
};

struct ReportFacts {
    std::string date;  // short date format of the user
    std::string time;  // long time format of the user
    std::string totalMemory, freeMemory, clockSpeed;  // "" when the probe failed
    std::string osName;
    bool isAdmin = false;
    int screenWidth = 0, screenHeight = 0;
    std::optional<std::string> jukeboxVersion;  // empty optional: program missing
    std::optional<std::string> setupVersion;
    int versionMajor = 0, versionMinor = 0, versionRevision = 0;  // the tool's own
    std::array<CheckedFile, 8> files;
    std::array<CheckedComponent, 10> components;
    long adverts = 0, covers = 0, folders = 0, favourites = 0;
    bool debugInfo = false;
    std::array<DriveIdLine, 6> driveIds;  // read only with debugInfo
};

// 45 lines, 53 with the debug section.
std::vector<std::string> BuildReportLines(const ReportFacts& facts);

// "  " + name + blanks up to 24 characters + status (" OK", " XX", " REG", " ---").
std::string StatusLine(const std::string& name, const char* status);

}  // namespace vtx
