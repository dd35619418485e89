#include "profile/drivers.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace vtx {
namespace {

std::string Answer(ProbeOutcome outcome) { return outcome == ProbeOutcome::TimedOut ? kNoAnswer : kNotDetermined; }

std::string Shown(const std::optional<std::string>& value) { return value && !value->empty() ? *value : kNotDetermined; }

std::string Named(const std::string& name) { return name.empty() ? kNotDetermined : name; }

// "keine" or the count.
std::string Count(size_t count) { return count == 0 ? "keine" : std::to_string(count); }

// "<label>: N" ("keine", or why it is not known), then for each item
// "<itemLabel> i: <name>" and the lines `details` adds.
template <class Item, class Details>
std::vector<ProfileRow> ListLines(const ProbedList<Item>& list, const std::string& label, const std::string& itemLabel,
                                   Details details) {
    if (list.outcome != ProbeOutcome::Answered) return {{2, label, Answer(list.outcome)}};
    std::vector<ProfileRow> out{{2, label, Count(list.items.size())}};
    int number = 0;
    for (const Item& item : list.items) {
        out.push_back({2, itemLabel + " " + std::to_string(++number), Named(item.name)});
        details(out, item);
    }
    return out;
}

void AddDriver(std::vector<ProfileRow>& out, const DriverFacts& driver) {
    switch (driver.state) {
        case DriverFacts::State::Unknown:
            out.push_back({4, "Treiber", kNotDetermined});
            return;
        case DriverFacts::State::None:
            out.push_back({4, "Treiber", "keiner installiert"});
            return;
        case DriverFacts::State::Installed:
            out.push_back({4, "Treiberanbieter", Shown(driver.provider)});
            out.push_back({4, "Treiberversion", Shown(driver.version)});
            out.push_back({4, "Treiberdatum", Shown(DriverDateText(driver.date, driver.dateData))});
            return;
    }
}

bool SameText(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) {
               return lower(x) == lower(y);
           });
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

std::optional<std::string> DayText(int year, int month, int day) {
    if (year < 1601 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return std::nullopt;
    char text[32];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d", day, month, year);
    return std::string(text);
}

// "6-21-2006", "06/21/2006": month, day, year.
std::optional<std::string> RegistryDayText(std::string_view text) {
    int parts[3] = {};
    for (int& part : parts) {
        const size_t digits = std::min(text.find_first_not_of("0123456789"), text.size());
        if (digits == 0 || digits > 4) return std::nullopt;
        part = std::stoi(std::string(text.substr(0, digits)));
        text.remove_prefix(digits);
        if (&part == &parts[2]) break;
        if (text.empty() || (text[0] != '-' && text[0] != '/')) return std::nullopt;
        text.remove_prefix(1);
    }
    if (!text.empty()) return std::nullopt;
    return DayText(parts[2], parts[0], parts[1]);
}

// A FILETIME (100 ns since 1601-01-01) as its day.
std::optional<std::string> FileTimeDayText(std::uint64_t fileTime) {
    constexpr std::uint64_t kTicksPerDay = 864000000000ull;
    constexpr long long kDays1601To1970 = 134774;
    // Days since 1970-03-01 -> year, month, day (the proleptic Gregorian calendar).
    const long long z = static_cast<long long>(fileTime / kTicksPerDay) - kDays1601To1970 + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long dayOfEra = z - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long shiftedMonth = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    const int month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    const long long year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    if (year > 9999) return std::nullopt;
    return DayText(static_cast<int>(year), month, day);
}

// The one driver all `candidates` share; Unknown without candidates or when they differ.
DriverFacts CommonDriver(const std::vector<const ClassDevice*>& candidates) {
    if (candidates.empty()) return {};
    const DriverFacts& first = candidates.front()->driver;
    const bool same = std::all_of(candidates.begin(), candidates.end(),
                                  [&](const ClassDevice* device) { return device->driver == first; });
    return same ? first : DriverFacts{};
}

DriverFacts DriverOf(const DisplayOutput& output, const std::vector<ClassDevice>& devices) {
    const std::string instance = InstanceIdOfInterface(output.interfacePath);
    if (!instance.empty()) {
        const auto device = std::find_if(devices.begin(), devices.end(),
                                         [&](const ClassDevice& d) { return SameText(d.instanceId, instance); });
        if (device != devices.end()) return device->driver;
    }
    std::vector<const ClassDevice*> candidates;
    if (!output.hardwareId.empty()) {
        for (const ClassDevice& device : devices)
            if (std::any_of(device.hardwareIds.begin(), device.hardwareIds.end(),
                            [&](const std::string& id) { return SameText(id, output.hardwareId); }))
                candidates.push_back(&device);
    }
    if (candidates.empty() && !output.adapter.empty()) {
        for (const ClassDevice& device : devices)
            if (device.description == output.adapter) candidates.push_back(&device);
    }
    return CommonDriver(candidates);
}

struct ProblemName {
    unsigned long code;
    const char* text;
};

// The device manager's problem numbers (CM_PROB_*) support meets most.
constexpr ProblemName kProblems[] = {
    {1, "nicht richtig konfiguriert"},
    {3, "Treiber beschädigt oder zu wenig Arbeitsspeicher"},
    {10, "kann nicht gestartet werden"},
    {12, "nicht genügend freie Ressourcen"},
    {14, "erst nach einem Neustart bereit"},
    {18, "Treiber muss neu installiert werden"},
    {19, "Konfiguration in der Registrierung beschädigt"},
    {21, "wird entfernt"},
    {22, "deaktiviert"},
    {24, "nicht vorhanden oder nicht vollständig installiert"},
    {28, "kein Treiber installiert"},
    {29, "von der Firmware abgeschaltet"},
    {31, "Treiber kann nicht geladen werden"},
    {32, "Treiberdienst deaktiviert"},
    {37, "Treiber kann nicht initialisiert werden"},
    {39, "Treiber fehlt oder ist beschädigt"},
    {41, "Treiber geladen, Gerät nicht gefunden"},
    {43, "vom Gerät gemeldeter Fehler"},
    {48, "Treiber gesperrt"},
    {52, "Treibersignatur nicht überprüfbar"},
};

}  // namespace

std::vector<ProfileRow> DisplayAdapterLines(const DisplayAdaptersFacts& facts, const TouchFacts& touch) {
    std::vector<ProfileRow> out =
        ListLines(facts, "Grafikkarten", "Grafikkarte", [](std::vector<ProfileRow>& lines, const DisplayAdapterFacts& adapter) {
            lines.push_back({4, "Zeigt den Desktop", adapter.desktop ? "Ja" : "Nein"});
            AddDriver(lines, adapter.driver);
        });

    constexpr int kIntegratedTouch = 0x01, kExternalTouch = 0x02, kReady = 0x80;  // NID_*
    if (touch.outcome != ProbeOutcome::Answered) {
        out.push_back({2, "Touchscreen", Answer(touch.outcome)});
        return out;
    }
    const bool integrated = (touch.digitizer & kIntegratedTouch) != 0, external = (touch.digitizer & kExternalTouch) != 0;
    if (!integrated && !external) {
        out.push_back({2, "Touchscreen", "keiner"});
        return out;
    }
    out.push_back({2, "Touchscreen", integrated && external ? "eingebaut und extern" : integrated ? "eingebaut" : "extern"});
    out.push_back({4, "Bereit", touch.digitizer & kReady ? "Ja" : "Nein"});
    out.push_back({4, "Berührungspunkte", std::to_string(touch.maxTouches)});
    return out;
}

std::vector<ProfileRow> SoundDeviceLines(const SoundDevicesFacts& facts) {
    return ListLines(facts, "Soundgeräte", "Soundgerät", [](std::vector<ProfileRow>& lines, const SoundDeviceFacts& device) {
        AddDriver(lines, device.driver);
    });
}

std::vector<ProfileRow> ProblemDeviceLines(const ProblemDevicesFacts& facts) {
    return ListLines(facts, "Geräte", "Gerät", [](std::vector<ProfileRow>& lines, const ProblemDeviceFacts& device) {
        // Where Device Manager shows a device without a class.
        lines.push_back({4, "Klasse", device.className.empty() ? "Andere Geräte" : device.className});
        lines.push_back({4, "Problem", ProblemText(device.problem)});
    });
}

std::string ProblemText(unsigned long problem) {
    const std::string code = "Code " + std::to_string(problem);
    const auto known = std::find_if(std::begin(kProblems), std::end(kProblems),
                                    [&](const ProblemName& p) { return p.code == problem; });
    return known == std::end(kProblems) ? code : std::string(known->text) + " (" + code + ")";
}

std::optional<std::string> DriverDateText(const std::optional<std::string>& date,
                                          const std::optional<std::uint64_t>& dateData) {
    if (date) {
        if (auto text = RegistryDayText(*date)) return text;
    }
    if (dateData && *dateData != 0) return FileTimeDayText(*dateData);
    return std::nullopt;
}

std::vector<DisplayAdapterFacts> AdaptersOf(const std::vector<DisplayOutput>& outputs,
                                            const std::vector<ClassDevice>& devices) {
    std::vector<DisplayAdapterFacts> adapters;
    std::vector<const DisplayOutput*> firstOutputs;  // of each adapter
    const auto sameAdapter = [](const DisplayOutput& a, const DisplayOutput& b) {
        if (!a.interfacePath.empty() || !b.interfacePath.empty()) return SameText(a.interfacePath, b.interfacePath);
        return SameText(a.hardwareId, b.hardwareId) && a.adapter == b.adapter;
    };
    for (const DisplayOutput& output : outputs) {
        if (output.flags & kDisplayMirroringDriver) continue;
        const bool desktop = (output.flags & kDisplayAttachedToDesktop) != 0;
        const auto known = std::find_if(firstOutputs.begin(), firstOutputs.end(),
                                        [&](const DisplayOutput* first) { return sameAdapter(*first, output); });
        if (known != firstOutputs.end()) {
            adapters[static_cast<size_t>(known - firstOutputs.begin())].desktop |= desktop;
            continue;
        }
        firstOutputs.push_back(&output);
        adapters.push_back({output.adapter, desktop, DriverOf(output, devices)});
    }
    return adapters;
}

std::string InstanceIdOfInterface(std::string_view path) {
    if (path.size() < 4 || (path.substr(0, 4) != "\\\\?\\" && path.substr(0, 4) != "\\\\.\\")) return "";
    path.remove_prefix(4);
    const size_t classAt = path.rfind("#{");
    if (classAt == std::string_view::npos || classAt == 0) return "";
    std::string instance(path.substr(0, classAt));
    std::replace(instance.begin(), instance.end(), '#', '\\');
    return instance;
}

}  // namespace vtx
