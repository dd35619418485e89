// The device manager's facts in the profile: adapters matched to their drivers,
// driver dates in the registry's formats, problem numbers in words, the touch
// screen; and where those lines stand in the profile.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "profile/drivers.h"
#include "profile/system_profile.h"

namespace vtx {
namespace {

using ::testing::ElementsAreArray;

using State = DriverFacts::State;

const DriverFacts kNoDriver{State::None, {}, {}, {}, {}};

// An installed driver; nullptr: the value is missing from its key.
DriverFacts Driver(const char* provider, const char* version, const char* date) {
    const auto value = [](const char* text) { return text ? std::optional<std::string>(text) : std::nullopt; };
    return {State::Installed, value(provider), value(version), value(date), std::nullopt};
}

// The lines as the profile lays them out, for comparing whole blocks.
std::vector<std::string> Laid(const std::vector<ProfileRow>& facts) {
    std::vector<std::string> lines;
    for (const ProfileRow& fact : facts) {
        std::string line = std::string(static_cast<size_t>(fact.indent), ' ') + fact.label + ": " + fact.value;
        lines.push_back(line);
    }
    return lines;
}

TEST(DeviceManagerFacts, AdaptersAreMatchedToTheirDevicesAndDrivers) {
    const DriverFacts intel = Driver("Intel Corporation", "31.0.101.2111", "7-13-2022");
    const DriverFacts nvidia = Driver("NVIDIA", "31.0.15.3179", "3-22-2023");
    const DriverFacts nvidiaOld = Driver("NVIDIA", "27.21.14.5671", "6-9-2021");
    const std::vector<ClassDevice> devices = {
        {"PCI\\VEN_8086&DEV_5917&SUBSYS_1\\3&11583659&0&10", "Intel(R) UHD Graphics 620",
         {"PCI\\VEN_8086&DEV_5917&SUBSYS_1", "PCI\\VEN_8086&DEV_5917"}, intel},
        {"PCI\\VEN_10DE&DEV_1C82\\4&2A3D5E1&0&0008", "NVIDIA GeForce GTX 1050 Ti", {"PCI\\VEN_10DE&DEV_1C82"}, nvidia},
        {"PCI\\VEN_10DE&DEV_1C82\\4&2A3D5E1&0&0010", "NVIDIA GeForce GTX 1050 Ti", {"PCI\\VEN_10DE&DEV_1C82"}, nvidiaOld},
        {"PCI\\VEN_1234&DEV_1111\\3&1&0&8", "Standard-VGA-Grafikkarte", {"PCI\\VEN_1234&DEV_1111"}, kNoDriver},
        {"ROOT\\DISPLAY\\0000", "Wine Adapter", {}, Driver(nullptr, nullptr, "12-11-2026")},
    };
    struct Case {
        const char* what;
        std::vector<DisplayOutput> outputs;
        std::vector<DisplayAdapterFacts> adapters;
    } cases[] = {
        {"three outputs of one adapter are one adapter; one of them on the desktop",
         {{"Intel(R) UHD Graphics 620", "\\\\?\\PCI#VEN_8086&DEV_5917&SUBSYS_1#3&11583659&0&10#{1ca05180-a699-450a-9a0c-de4fbe3ddd89}",
           "PCI\\VEN_8086&DEV_5917&SUBSYS_1", 0x0},
          {"Intel(R) UHD Graphics 620", "\\\\?\\pci#ven_8086&dev_5917&subsys_1#3&11583659&0&10#{1ca05180-a699-450a-9a0c-de4fbe3ddd89}",
           "PCI\\VEN_8086&DEV_5917&SUBSYS_1", 0x5},
          {"Intel(R) UHD Graphics 620", "\\\\?\\PCI#VEN_8086&DEV_5917&SUBSYS_1#3&11583659&0&10#{1ca05180-a699-450a-9a0c-de4fbe3ddd89}",
           "PCI\\VEN_8086&DEV_5917&SUBSYS_1", 0x0}},
         {{"Intel(R) UHD Graphics 620", true, intel}}},
        {"two cards of the same make with different drivers: each by its interface",
         {{"NVIDIA GeForce GTX 1050 Ti", "\\\\?\\PCI#VEN_10DE&DEV_1C82#4&2a3d5e1&0&0010#{1ca05180-a699-450a-9a0c-de4fbe3ddd89}",
           "PCI\\VEN_10DE&DEV_1C82", 0x1},
          {"NVIDIA GeForce GTX 1050 Ti", "\\\\?\\PCI#VEN_10DE&DEV_1C82#4&2a3d5e1&0&0008#{1ca05180-a699-450a-9a0c-de4fbe3ddd89}",
           "PCI\\VEN_10DE&DEV_1C82", 0x0}},
         {{"NVIDIA GeForce GTX 1050 Ti", true, nvidiaOld}, {"NVIDIA GeForce GTX 1050 Ti", false, nvidia}}},
        {"without an interface the hardware ID decides, and cannot between two different drivers",
         {{"NVIDIA GeForce GTX 1050 Ti", "", "PCI\\VEN_10DE&DEV_1C82", 0x1},
          {"Intel(R) UHD Graphics 620", "", "pci\\ven_8086&dev_5917", 0x0}},
         {{"NVIDIA GeForce GTX 1050 Ti", true, {}}, {"Intel(R) UHD Graphics 620", false, intel}}},
        {"an adapter whose device has no driver key",
         {{"Standard-VGA-Grafikkarte", "", "PCI\\VEN_1234&DEV_1111", 0x5}},
         {{"Standard-VGA-Grafikkarte", true, kNoDriver}}},
        {"by its name where the hardware ID is unknown; a mirroring driver is no adapter",
         {{"Wine Adapter", "", "PCI\\VEN_0000&DEV_0000", 0x5}, {"RDPDD Chained DD", "", "", 0x8},
          {"Remote Display", "\\\\?\\ROOT#DISPLAY#0001#{1ca05180-a699-450a-9a0c-de4fbe3ddd89}", "", 0x0}},
         {{"Wine Adapter", true, Driver(nullptr, nullptr, "12-11-2026")}, {"Remote Display", false, {}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<DisplayAdapterFacts> adapters = AdaptersOf(c.outputs, devices);
        ASSERT_EQ(adapters.size(), c.adapters.size());
        for (size_t i = 0; i < adapters.size(); ++i) {
            EXPECT_EQ(adapters[i].name, c.adapters[i].name);
            EXPECT_EQ(adapters[i].desktop, c.adapters[i].desktop);
            EXPECT_TRUE(adapters[i].driver == c.adapters[i].driver) << i;
        }
    }
    EXPECT_TRUE(AdaptersOf({}, devices).empty());

    EXPECT_EQ(InstanceIdOfInterface("\\\\?\\PCI#VEN_1&DEV_2#4&1&0&8#{1ca05180-a699-450a-9a0c-de4fbe3ddd89}"),
              "PCI\\VEN_1&DEV_2\\4&1&0&8");
    for (const char* none : {"", "PCI\\VEN_1&DEV_2", "\\\\?\\#{guid}", "\\\\?\\PCI#VEN_1", "\\\\?"})
        EXPECT_EQ(InstanceIdOfInterface(none), "") << none;
}

TEST(DeviceManagerFacts, DriverDatesInTheRegistrysFormats) {
    constexpr std::uint64_t kTicksPerDay = 864000000000ull;
    // 2006-06-21 is day 148,094 after 1601-01-01; 2024-02-29 day 154,556.
    const std::uint64_t june2006 = 148094ull * kTicksPerDay, leapDay2024 = 154556ull * kTicksPerDay;
    struct Case {
        std::optional<std::string> date;
        std::optional<std::uint64_t> data;
        std::optional<std::string> text;
    } cases[] = {
        {"6-21-2006", std::nullopt, "21.06.2006"},
        {"06-21-2006", std::nullopt, "21.06.2006"},
        {"10-3-2023", std::nullopt, "03.10.2023"},
        {"2/29/2024", std::nullopt, "29.02.2024"},
        {"2-29-2023", std::nullopt, std::nullopt},  // no such day
        {"13-1-2023", std::nullopt, std::nullopt},
        {"2023-10-03", std::nullopt, std::nullopt},  // not month-day-year
        {"6-21-2006 ", std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt},
        {std::nullopt, june2006, "21.06.2006"},
        {std::nullopt, leapDay2024 + kTicksPerDay - 1, "29.02.2024"},
        {"unlesbar", june2006, "21.06.2006"},  // the text first, the FILETIME where it says nothing
        {"10-3-2023", june2006, "03.10.2023"},
        {std::nullopt, 0, std::nullopt},
        {std::nullopt, ~0ull, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DriverDateText(c.date, c.data), c.text) << c.date.value_or("-") << " / " << c.data.value_or(0);
}

TEST(DeviceManagerFacts, ProblemNumbersInWords) {
    EXPECT_EQ(ProblemText(28), "kein Treiber installiert (Code 28)");
    EXPECT_EQ(ProblemText(10), "kann nicht gestartet werden (Code 10)");
    EXPECT_EQ(ProblemText(22), "deaktiviert (Code 22)");
    EXPECT_EQ(ProblemText(43), "vom Gerät gemeldeter Fehler (Code 43)");
    EXPECT_EQ(ProblemText(0), "Code 0");
    EXPECT_EQ(ProblemText(57), "Code 57");
    EXPECT_EQ(ProblemText(4294967295ul), "Code 4294967295");

    ProblemDevicesFacts problems{ProbeOutcome::Answered,
                                 {{"USB-Serial Controller", "", 28}, {"Münzprüfer", "Anschlüsse (COM & LPT)", 10}, {"", "USB", 99}}};
    EXPECT_THAT(Laid(ProblemDeviceLines(problems)),
                ElementsAreArray({"  Geräte: 3", "  Gerät 1: USB-Serial Controller", "    Klasse: Andere Geräte",
                                  "    Problem: kein Treiber installiert (Code 28)", "  Gerät 2: Münzprüfer",
                                  "    Klasse: Anschlüsse (COM & LPT)", "    Problem: kann nicht gestartet werden (Code 10)",
                                  "  Gerät 3: nicht ermittelbar", "    Klasse: USB", "    Problem: Code 99"}));
    EXPECT_THAT(Laid(ProblemDeviceLines({ProbeOutcome::Answered, {}})), ElementsAreArray({"  Geräte: keine"}));
    EXPECT_THAT(Laid(ProblemDeviceLines({ProbeOutcome::Failed, {}})), ElementsAreArray({"  Geräte: nicht ermittelbar"}));
    EXPECT_THAT(Laid(ProblemDeviceLines({ProbeOutcome::TimedOut, {}})),
                ElementsAreArray({"  Geräte: nicht ermittelbar (keine Antwort)"}));
}

TEST(DeviceManagerFacts, AdaptersSoundDevicesAndTheTouchScreen) {
    const DisplayAdaptersFacts adapters{
        ProbeOutcome::Answered,
        {{"Intel(R) UHD Graphics 620", true, {State::Installed, "Intel Corporation", "31.0.101.2111", "7-13-2022", {}}},
         {"Standard-VGA-Grafikkarte", false, kNoDriver},
         {"Remote Display", false, {}},
         {"Wine Adapter", true, {State::Installed, std::nullopt, std::nullopt, std::nullopt, std::nullopt}}}};
    struct TouchCase {
        TouchFacts touch;
        std::vector<std::string> lines;
    } touches[] = {
        {{ProbeOutcome::Answered, 0, 0}, {"  Touchscreen: keiner"}},
        {{ProbeOutcome::Answered, 0x04 | 0x80, 0}, {"  Touchscreen: keiner"}},  // a pen only
        {{ProbeOutcome::Answered, 0x01 | 0x40 | 0x80, 10},
         {"  Touchscreen: eingebaut", "    Bereit: Ja", "    Berührungspunkte: 10"}},
        {{ProbeOutcome::Answered, 0x02, 1}, {"  Touchscreen: extern", "    Bereit: Nein", "    Berührungspunkte: 1"}},
        {{ProbeOutcome::Answered, 0x03 | 0x80, 2},
         {"  Touchscreen: eingebaut und extern", "    Bereit: Ja", "    Berührungspunkte: 2"}},
        {{ProbeOutcome::TimedOut, 0, 0}, {"  Touchscreen: nicht ermittelbar (keine Antwort)"}},
    };
    const std::vector<std::string> adapterLines = {
        "  Grafikkarten: 4",
        "  Grafikkarte 1: Intel(R) UHD Graphics 620", "    Zeigt den Desktop: Ja",
        "    Treiberanbieter: Intel Corporation", "    Treiberversion: 31.0.101.2111", "    Treiberdatum: 13.07.2022",
        "  Grafikkarte 2: Standard-VGA-Grafikkarte", "    Zeigt den Desktop: Nein", "    Treiber: keiner installiert",
        "  Grafikkarte 3: Remote Display", "    Zeigt den Desktop: Nein", "    Treiber: nicht ermittelbar",
        "  Grafikkarte 4: Wine Adapter", "    Zeigt den Desktop: Ja", "    Treiberanbieter: nicht ermittelbar",
        "    Treiberversion: nicht ermittelbar", "    Treiberdatum: nicht ermittelbar",
    };
    for (const TouchCase& t : touches) {
        std::vector<std::string> expected = adapterLines;
        expected.insert(expected.end(), t.lines.begin(), t.lines.end());
        EXPECT_THAT(Laid(DisplayAdapterLines(adapters, t.touch)), ElementsAreArray(expected));
    }
    EXPECT_THAT(Laid(DisplayAdapterLines({ProbeOutcome::Answered, {}}, {ProbeOutcome::Failed, 0, 0})),
                ElementsAreArray({"  Grafikkarten: keine", "  Touchscreen: nicht ermittelbar"}));
    EXPECT_THAT(Laid(DisplayAdapterLines({ProbeOutcome::TimedOut, {}}, {ProbeOutcome::Answered, 0, 0})),
                ElementsAreArray({"  Grafikkarten: nicht ermittelbar (keine Antwort)", "  Touchscreen: keiner"}));

    const SoundDevicesFacts sound{ProbeOutcome::Answered,
                                  {{"Realtek High Definition Audio", {State::Installed, "Realtek Semiconductor Corp.",
                                                                      "6.0.9235.1", "8-15-2021", {}}},
                                   {"USB Audio Device", kNoDriver}}};
    EXPECT_THAT(Laid(SoundDeviceLines(sound)),
                ElementsAreArray({"  Soundgeräte: 2", "  Soundgerät 1: Realtek High Definition Audio",
                                  "    Treiberanbieter: Realtek Semiconductor Corp.", "    Treiberversion: 6.0.9235.1",
                                  "    Treiberdatum: 15.08.2021", "  Soundgerät 2: USB Audio Device",
                                  "    Treiber: keiner installiert"}));
    EXPECT_THAT(Laid(SoundDeviceLines({ProbeOutcome::Answered, {}})), ElementsAreArray({"  Soundgeräte: keine"}));
    EXPECT_THAT(Laid(SoundDeviceLines({ProbeOutcome::Failed, {}})), ElementsAreArray({"  Soundgeräte: nicht ermittelbar"}));
}

}  // namespace
}  // namespace vtx
