// Fuzz entry point for the decoder of the classic event log's records: the input
// is the buffer ReadEventLogW filled, whatever a damaged log or a confused
// service put there. Built with libFuzzer (scripts/fuzz.sh) and, without it, by
// the corpus replay of the test command. Besides the sanitizers' checks it holds
// the decoder and the profile's lines to what they promise:
// - no record has more strings than it declares; no source or string holds a
//   control character; the records decoded lie in the buffer (each at least a
//   header long);
// - the profile's rows of the records it picks are lines: no control character,
//   no value much longer than the longest the profile shows.
// Portable: no Windows headers.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "profile/event_records.h"
#include "fuzz_check.h"
#include "profile/incidents.h"

namespace vtx {
namespace {

constexpr const char* kFuzzTarget = "event record fuzz";
using fuzzing::Printable;

std::uint16_t DeclaredStrings(const std::string& bytes, std::size_t recordAt) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[recordAt + 26]) |
                                      static_cast<unsigned char>(bytes[recordAt + 27]) << 8);
}

}  // namespace
}  // namespace vtx

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vtx;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const EventRecords decoded = ParseEventLogRecords(bytes);
    FUZZ_CHECK(decoded.records.size() * kEventRecordHeaderSize <= size);

    const JukeboxPrograms programs{{"Velatrix-Tunes 6.exe"}, "C:\\Jukebox", {}};
    IncidentsFacts facts;
    facts.systemLog.outcome = facts.applicationLog.outcome = ProbeOutcome::Answered;
    std::size_t at = 0;
    for (const EventRecord& record : decoded.records) {
        FUZZ_CHECK(record.strings.size() <= DeclaredStrings(bytes, at));
        at += static_cast<std::size_t>(static_cast<unsigned char>(bytes[at])) |
              static_cast<std::size_t>(static_cast<unsigned char>(bytes[at + 1])) << 8 |
              static_cast<std::size_t>(static_cast<unsigned char>(bytes[at + 2])) << 16 |
              static_cast<std::size_t>(static_cast<unsigned char>(bytes[at + 3])) << 24;
        FUZZ_CHECK(at <= size);
        FUZZ_CHECK(Printable(record.source));
        for (const std::string& text : record.strings) FUZZ_CHECK(Printable(text));
        // Every record as each log's kind of record, whatever its source says.
        LoggedEvent event{LocalTime{2024, 1, 2, 3, 4, 5}, record};
        if (IsSystemIncident(record)) facts.systemLog.events.push_back(event);
        if (IsJukeboxApplicationIncident(record, programs)) facts.applicationLog.events.push_back(event);
        for (const char* source : {"disk", "Ntfs", "EventLog", "Microsoft-Windows-Kernel-Power"}) {
            event.record.source = source;
            if (IsSystemIncident(event.record)) facts.systemLog.events.push_back(event);
        }
        for (const char* source : {"Application Error", "Application Hang"}) {
            event.record.source = source;
            facts.applicationLog.events.push_back(event);
        }
    }
    facts.systemLog.count = facts.systemLog.events.size();
    facts.applicationLog.count = facts.applicationLog.events.size();
    for (const ProfileRow& row : IncidentRows(facts)) {
        FUZZ_CHECK(Printable(row.label) && Printable(row.value));
        FUZZ_CHECK(row.label.size() <= 210 && row.value.size() <= 210);
    }
    return 0;
}
