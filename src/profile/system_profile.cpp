#include "profile/system_profile.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

#include "report/format_bytes.h"

namespace vtx {
namespace {

// Values start in this column (counted in characters), labels are padded to it;
// a longer label keeps one blank.
constexpr size_t kValueColumn = 28;

size_t CharacterCount(std::string_view utf8) {
    return static_cast<size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

class Lines {
public:
    // A blank line before every section but the first.
    void Section() {
        if (!lines_.empty()) lines_.emplace_back();
    }
    void Heading(const std::string& text) {
        Section();
        lines_.push_back(text);
    }
    // indent + label + ":" + blanks up to the value column + value
    void Fact(int indent, const std::string& label, const std::string& value) { Row(indent, label + ":", value, true); }
    // The same without the colon; a row without a value ends after its label.
    void Row(int indent, const std::string& label, const std::string& value, bool fact = false) {
        std::string line(static_cast<size_t>(indent), ' ');
        line += label;
        if (fact || !value.empty()) {
            const size_t width = CharacterCount(line);
            line.append(width < kValueColumn ? kValueColumn - width : 1, ' ');
            line += value;
        }
        lines_.push_back(std::move(line));
    }
    void Text(int indent, const std::string& text) { lines_.push_back(std::string(static_cast<size_t>(indent), ' ') + text); }
    std::vector<std::string> Take() { return std::move(lines_); }

private:
    std::vector<std::string> lines_;
};

void Facts(Lines& out, const std::vector<ProfileRow>& facts) {
    for (const ProfileRow& fact : facts) out.Fact(fact.indent, fact.label, fact.value);
}

std::string YesNo(bool value) { return value ? "Ja" : "Nein"; }

std::string Missing(ProbeOutcome outcome) { return outcome == ProbeOutcome::TimedOut ? kNoAnswer : kNotDetermined; }

template <typename T, typename Show>
std::string Or(const std::optional<T>& value, Show show, const std::string& missing = kNotDetermined) {
    return value ? show(*value) : missing;
}

std::string Text(const std::optional<std::string>& value, const std::string& missing = kNotDetermined) {
    return value && !value->empty() ? *value : missing;
}

std::string Flag(const std::optional<bool>& value, const std::string& missing = kNotDetermined) {
    return Or(value, YesNo, missing);
}

// The build as a number, from the kernel, else from the registry's text.
std::optional<unsigned long> BuildNumber(const std::optional<std::string>& registryBuild,
                                         const std::optional<KernelVersion>& kernel) {
    if (kernel && kernel->build != 0) return kernel->build;
    if (!registryBuild || registryBuild->empty() ||
        registryBuild->find_first_not_of("0123456789") != std::string::npos || registryBuild->size() > 9)
        return std::nullopt;
    return std::stoul(*registryBuild);
}

void WindowsSection(Lines& out, const WindowsFacts& w) {
    out.Heading("Windows:");
    out.Fact(2, "Name", Text(WindowsName(w)));
    out.Fact(2, "Edition", Text(w.editionId));
    std::string version = Text(w.displayVersion, Text(w.releaseId, ""));
    if (version.empty()) version = w.kernel && w.kernel->major < 10 ? "keine (vor Windows 10)" : kNotDetermined;
    out.Fact(2, "Version", version);

    const std::optional<unsigned long> build = BuildNumber(w.currentBuild, w.kernel);
    std::string buildText = build ? std::to_string(*build) : kNotDetermined;
    // The revision belongs to the registry's build: added only where both agree.
    if (build && w.ubr && w.currentBuild && *w.currentBuild == std::to_string(*build))
        buildText += "." + std::to_string(*w.ubr);
    out.Fact(2, "Build", buildText);
    out.Fact(2, "Kernel-Version", Or(w.kernel, [](const KernelVersion& k) {
                 return std::to_string(k.major) + "." + std::to_string(k.minor) + "." + std::to_string(k.build);
             }));
    if (w.kernel && !w.kernel->servicePack.empty()) out.Fact(2, "Service Pack", w.kernel->servicePack);
    out.Fact(2, "Architektur", Or(w.is64Bit, [](bool is64) { return std::string(is64 ? "64-Bit" : "32-Bit"); }));
}

void ToolSection(Lines& out, const ToolFacts& t) {
    out.Heading("VTX Diagnostic:");
    out.Fact(2, "Version", t.version);
    out.Fact(2, "Architektur", std::to_string(t.bits) + "-Bit");
    out.Fact(2, "Pfad", Text(t.path));
    out.Fact(2, "Benutzer", Text(t.user));
    out.Fact(2, "Administrator", Flag(t.administrator));
    out.Fact(2, "Erhöhte Rechte", Flag(t.elevated));
    out.Fact(2, "UAC eingeschaltet", Flag(t.uacOn));
}

void DisplaysSection(Lines& out, const DisplaysFacts& d) {
    out.Heading("Bildschirme:");
    if (d.outcome != ProbeOutcome::Answered) {
        out.Fact(2, "Anzahl", Missing(d.outcome));
        return;
    }
    out.Fact(2, "Anzahl", std::to_string(d.monitors.size()));
    int number = 0;
    for (const DisplayFacts& m : d.monitors) {
        out.Fact(2, "Bildschirm " + std::to_string(++number), m.device);
        out.Fact(4, "Auflösung", std::to_string(m.width) + " x " + std::to_string(m.height));
        out.Fact(4, "Farbtiefe", Or(m.bitsPerPixel, [](int bits) { return std::to_string(bits) + " Bit"; }));
        // 0 and 1 stand for the display's own default rate.
        out.Fact(4, "Bildwiederholrate", Or(m.refreshHz, [](int hz) {
                     return hz > 1 ? std::to_string(hz) + " Hz" : std::string("Standard der Hardware");
                 }));
        out.Fact(4, "Position", std::to_string(m.x) + ", " + std::to_string(m.y));
        out.Fact(4, "Hauptbildschirm", YesNo(m.primary));
    }
}

void SoundSection(Lines& out, const SoundFacts& s) {
    out.Heading("Sound:");
    if (s.outcome != ProbeOutcome::Answered) {
        out.Fact(2, "Ausgabegeräte", Missing(s.outcome));
        return;
    }
    out.Fact(2, "Ausgabegeräte", s.outputs.empty() ? "keine" : std::to_string(s.outputs.size()));
    int number = 0;
    for (const std::string& name : s.outputs) out.Fact(2, "Ausgabegerät " + std::to_string(++number), name);
    if (!s.defaultOutput) {
        out.Fact(2, "Standardgerät", s.outputs.empty() ? "keines" : kNotDetermined);
        return;
    }
    out.Fact(2, "Standardgerät", *s.defaultOutput);
    out.Fact(2, "Lautstärke", Or(s.volumePercent, [](int percent) { return std::to_string(percent) + " %"; }));
    out.Fact(2, "Stumm", Flag(s.muted));
}

void PortList(Lines& out, const std::string& label, const std::optional<std::vector<PortFacts>>& ports) {
    if (!ports) {
        out.Fact(2, label, kNotDetermined);
        return;
    }
    out.Fact(2, label, ports->empty() ? "keine" : std::to_string(ports->size()));
    for (const PortFacts& port : *ports) out.Fact(4, port.name, port.device);
}

void PortsSection(Lines& out, const PortsFacts& p) {
    out.Heading("Anschlüsse:");
    PortList(out, "Serielle Anschlüsse", p.serial);
    PortList(out, "Parallele Anschlüsse", p.parallel);
}

void DrivesSection(Lines& out, const std::vector<DriveFacts>& drives, const SystemProfileFacts& facts) {
    out.Heading("Laufwerke:");
    if (drives.empty()) out.Fact(2, "Laufwerk", kNotDetermined);
    const auto bytes = [&](std::uint64_t count) {
        return FormatBytes(static_cast<double>(count), facts.decimalSeparator, facts.groupSeparator);
    };
    for (const DriveFacts& d : drives) {
        const std::string missing = Missing(d.outcome);
        out.Fact(2, "Laufwerk", d.root.empty() ? kNotDetermined : d.root);
        out.Fact(4, "Dateisystem", Text(d.fileSystem, missing));
        out.Fact(4, "Frei", Or(d.freeBytes, bytes, missing));
        out.Fact(4, "Gesamt", Or(d.totalBytes, bytes, missing));
        for (const FolderOnDrive& folder : d.folders) out.Fact(4, folder.label, folder.path);
    }
}

void JukeboxSection(Lines& out, const JukeboxFacts& j) {
    out.Section();
    if (!j.processes) {
        out.Fact(0, "Velatrix-Tunes läuft", kNotDetermined);
    } else {
        out.Fact(0, "Velatrix-Tunes läuft", YesNo(!j.processes->empty()));
        for (const JukeboxProcess& process : *j.processes) {
            out.Fact(2, "Prozess-ID", std::to_string(process.id));
            out.Fact(2, "Pfad", Text(process.path));
        }
    }
    out.Fact(2, "Dateien im VirtualStore", Or(j.virtualStoreFiles, [](long n) { return std::to_string(n); }));
}

void TimeSection(Lines& out, const TimeFacts& t) {
    out.Heading("Zeit:");
    out.Fact(2, "Datum", Text(t.date));
    out.Fact(2, "Uhrzeit", Text(t.time));
    std::string zone = Text(t.timeZone, "");
    if (t.utcOffsetMinutes) zone += (zone.empty() ? "" : " (") + UtcOffsetText(*t.utcOffsetMinutes) + (zone.empty() ? "" : ")");
    out.Fact(2, "Zeitzone", zone.empty() ? kNotDetermined : zone);
    out.Fact(2, "Windows läuft seit", Or(t.uptimeSeconds, UptimeText));
}

void AllDaySection(Lines& out, const AllDayFacts& a) {
    out.Heading(kAllDayHeading);
    for (const ProfileRow& line : AllDayLines(a))
        line.label.empty() ? out.Text(line.indent, line.value) : out.Fact(line.indent, line.label, line.value);
}

void IncidentsSection(Lines& out, const IncidentsFacts& incidents) {
    out.Heading(kIncidentsHeading);
    for (const ProfileRow& row : IncidentRows(incidents)) out.Row(row.indent, row.label, row.value);
}

}  // namespace

std::vector<std::string> BuildSystemProfileLines(const SystemProfileFacts& facts) {
    Lines out;
    out.Heading("Systemprofil");
    WindowsSection(out, facts.windows);
    ToolSection(out, facts.tool);
    DisplaysSection(out, facts.displays);
    Facts(out, DisplayAdapterLines(facts.devices.adapters, facts.devices.touch));
    SoundSection(out, facts.sound);
    Facts(out, SoundDeviceLines(facts.devices.sound));
    PortsSection(out, facts.ports);
    out.Heading("Geräte mit Problemen:");
    Facts(out, ProblemDeviceLines(facts.devices.problems));
    DrivesSection(out, facts.drives, facts);
    JukeboxSection(out, facts.jukebox);
    TimeSection(out, facts.time);
    AllDaySection(out, facts.allDay);
    if (facts.incidents) IncidentsSection(out, *facts.incidents);
    return out.Take();
}

std::string WindowsName(const WindowsFacts& facts) {
    const unsigned long build = BuildNumber(facts.currentBuild, facts.kernel).value_or(0);
    if (facts.productName && !facts.productName->empty()) {
        std::string name = *facts.productName;
        const size_t at = name.find("Windows 10");
        const size_t after = at + 10;
        if (build >= 22000 && at != std::string::npos && (after == name.size() || name[after] < '0' || name[after] > '9'))
            name.replace(at, 10, "Windows 11");
        return name;
    }
    const std::optional<KernelVersion>& kernel = facts.kernel;
    if (!kernel || kernel->major == 0) return "";
    const unsigned long major = kernel->major, minor = kernel->minor;
    if (major == 10) return build >= 22000 ? "Windows 11" : "Windows 10";
    if (major == 6 && minor == 0) return "Windows Vista";
    if (major == 6 && minor == 1) return "Windows 7";
    if (major == 6 && minor == 2) return "Windows 8";
    if (major == 6 && minor == 3) return "Windows 8.1";
    return "Windows " + std::to_string(major) + "." + std::to_string(minor);
}

std::string UptimeText(std::uint64_t seconds) {
    const std::uint64_t days = seconds / 86400;
    char clock[32];
    std::snprintf(clock, sizeof clock, "%02u:%02u:%02u", static_cast<unsigned>(seconds / 3600 % 24),
                  static_cast<unsigned>(seconds / 60 % 60), static_cast<unsigned>(seconds % 60));
    if (days == 0) return clock;
    return std::to_string(days) + (days == 1 ? " Tag, " : " Tage, ") + clock;
}

std::string UtcOffsetText(long minutes) {
    if (minutes == 0) return "UTC";
    const long magnitude = minutes < 0 ? -minutes : minutes;
    char text[32];
    std::snprintf(text, sizeof text, "UTC%c%02ld:%02ld", minutes < 0 ? '-' : '+', magnitude / 60, magnitude % 60);
    return text;
}

std::string RootOfPath(std::string_view path) {
    if (path.size() >= 2 && path[1] == ':' &&
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
        std::string root(path.substr(0, 2));
        if (root[0] >= 'a') root[0] = static_cast<char>(root[0] - 'a' + 'A');
        return root + "\\";
    }
    if (path.size() > 2 && path[0] == '\\' && path[1] == '\\') {
        const size_t server = path.find('\\', 2);
        if (server == std::string_view::npos || server == 2) return "";
        const size_t share = path.find('\\', server + 1);
        const std::string_view root = path.substr(0, share);
        if (root.size() == server + 1) return "";
        return std::string(root) + "\\";
    }
    return "";
}

void SortPorts(std::vector<PortFacts>& ports) {
    // Letters first, then the number that follows them; names without one by text.
    const auto key = [](const std::string& name) {
        const size_t digits = name.find_first_of("0123456789");
        const std::string letters = name.substr(0, digits);
        unsigned long number = 0;
        bool numbered = digits != std::string::npos && name.find_first_not_of("0123456789", digits) == std::string::npos &&
                        name.size() - digits <= 9;
        if (numbered) number = std::stoul(name.substr(digits));
        return std::make_tuple(letters, !numbered, number, name);
    };
    std::stable_sort(ports.begin(), ports.end(),
                     [&](const PortFacts& a, const PortFacts& b) { return key(a.name) < key(b.name); });
}

}  // namespace vtx
