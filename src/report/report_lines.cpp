#include "report/report_lines.h"

#include "common/strings.h"

namespace vtx {
namespace {

// Characters, not bytes: a name with umlauts still lines up.
size_t CharacterCount(const std::string& utf8) {
    size_t count = 0;
    for (unsigned char c : utf8)
        if ((c & 0xC0) != 0x80) ++count;
    return count;
}

}  // namespace

std::string StatusLine(const std::string& name, const char* status) {
    const size_t length = CharacterCount(name);
    return "  " + name + std::string(length < 24 ? 24 - length : 0, ' ') + status;
}

std::vector<std::string> BuildReportLines(const ReportFacts& f) {
    std::vector<std::string> lines;
    lines.reserve(53);
    const auto add = [&lines](std::string line) { lines.push_back(std::move(line)); };

    add(f.date + " - " + f.time);
    add("");
    add("Allgemeine Infos:");
    add("");
    add("RAM Total:        " + f.totalMemory);
    add("RAM Frei:         " + f.freeMemory);
    add("Prozessortakt:    " + f.clockSpeed + " MHz");
    add("");
    add("Betriebssystem:   " + f.osName);
    add(std::string("Administrator:    ") + (f.isAdmin ? "Ja" : "Nein"));
    add("Auflösung:        " + std::to_string(f.screenWidth) + " x " + std::to_string(f.screenHeight));
    add("");
    add("Versionen:");
    add("  Velatrix-Tunes: " + f.jukeboxVersion.value_or("---"));
    add("  SetUp:          " + f.setupVersion.value_or("---"));
    add("  Diagnostic:     " + std::to_string(f.versionMajor) + "." + std::to_string(f.versionMinor) + "." +
        std::to_string(f.versionRevision));
    add("");
    add("Dateien:");
    for (const CheckedFile& file : f.files) add(StatusLine(GetFileName(file.path, true), file.exists ? " OK" : " XX"));
    add("");
    add("Registrierungen:");
    for (const CheckedComponent& component : f.components)
        add(StatusLine(GetFileName(GetField(component.entry, 2, ";"), true), component.registered ? " REG" : " ---"));
    add("");
    add("Sonstiges:");
    add("");
    add("Anzahl Werbung: " + std::to_string(f.adverts));
    add("Anzahl Cover:   " + std::to_string(f.covers));
    add("Anzahl Verz.:   " + std::to_string(f.folders));
    add("Anzahl Fav.:    " + std::to_string(f.favourites));
    if (f.debugInfo) {
        add("");
        add("Debug-Information:");
        for (size_t k = 0; k < f.driveIds.size(); ++k)
            add("ID " + std::to_string(k + 1) + ": " + f.driveIds[k].id + "[" + std::to_string(f.driveIds[k].status) +
                "]");
    }
    return lines;
}

}  // namespace vtx
