// Fuzz entry point for the reader of Report.wer: the input is the file's bytes,
// whatever a full disk, a half-written report or another program left there.
// Built with libFuzzer (scripts/fuzz.sh) and, without it, by the corpus replay of
// the test command. Besides the sanitizers' checks it holds the reader and the
// profile's lines to what they promise:
// - a record has a kind that is not blank; no value holds a control character;
//   at most 32 signature positions; an EventTime is a FILETIME Windows can date;
// - the same bytes read as UTF-16 (behind a byte order mark) obey the same;
// - the profile's rows of such a report are lines: no control character, and no
//   value much longer than the longest the profile shows.
// Portable: no Windows headers.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_check.h"
#include "profile/incidents.h"
#include "profile/wer_report.h"

namespace vtx {
namespace {

constexpr const char* kFuzzTarget = "Report.wer fuzz";
using fuzzing::Printable;

// ANSI as Latin-1: every byte a character.
std::string Latin1(std::string_view bytes) {
    std::string out;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (b >> 6));
            out += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    return out;
}

void Check(const std::string& bytes) {
    const auto report = ParseWerReport(bytes, Latin1);
    if (!report) return;
    FUZZ_CHECK(report->eventType.find_first_not_of(' ') != std::string::npos);
    FUZZ_CHECK(Printable(report->eventType) && Printable(report->appName) && Printable(report->appPath));
    FUZZ_CHECK(report->signature.size() <= 32);
    for (const auto& value : report->signature) FUZZ_CHECK(!value || Printable(*value));
    if (report->eventTime) FUZZ_CHECK(*report->eventTime > 0 && *report->eventTime < 0x8000000000000000ull);

    const JukeboxPrograms programs{{"Velatrix-Tunes 6.exe"}, "C:\\Jukebox", {}};
    IsJukeboxReport(*report, programs);
    IncidentsFacts facts;
    facts.errorReports.outcome = ProbeOutcome::Answered;
    ErrorReportFacts shown;
    shown.report = *report;
    facts.errorReports.reports = {shown, shown};
    facts.errorReports.notTaken = {ReportProgram(*report)};
    for (const ProfileRow& row : IncidentRows(facts)) {
        FUZZ_CHECK(Printable(row.label) && Printable(row.value));
        FUZZ_CHECK(row.label.size() <= 210 && row.value.size() <= 210);
    }
}

}  // namespace
}  // namespace vtx

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    vtx::Check(bytes);
    vtx::Check("\xFF\xFE" + bytes);
    return 0;
}
