// One Windows Error Reporting record: the Report.wer of a report folder, lines of
// Name=Value in UTF-16 LE with a byte order mark (current Windows) or in the ANSI
// code page. Only what the profile shows is kept. Portable.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vtx {

// No more of a Report.wer is ever read: real ones hold a few kilobytes.
inline constexpr std::size_t kWerReportReadLimit = 1024 * 1024;

// Decodes bytes in the ANSI code page to UTF-8 (FromAnsi on Windows).
using AnsiDecoder = std::string (*)(std::string_view);

struct WerReport {
    std::string eventType;  // "APPCRASH", "AppHangB1", "BEX", ...
    // The event's time as a FILETIME (100 ns since 1601, UTC); empty when the
    // record has none or it is out of range.
    std::optional<std::uint64_t> eventTime;
    // Sig[i].Value by position i; the names beside them are in the language of
    // Windows and are not read. Positions the record lacks are empty.
    std::vector<std::optional<std::string>> signature;
    std::string appName, appPath;
};

// The record in `bytes` (at most kWerReportReadLimit of them are looked at);
// empty when they hold no record (no EventType). A byte order mark picks UTF-16
// LE or BE or UTF-8; UTF-16 LE without one is recognised by its zero bytes;
// anything else is ANSI, decoded by `fromAnsi`. Control characters in values
// become blanks.
std::optional<WerReport> ParseWerReport(std::string_view bytes, AnsiDecoder fromAnsi);

// What the positions of a kind's signature mean, for the kinds the profile
// interprets: the program, its version, the faulting module and its version and
// the exception code (-1: the kind has no such position).
struct WerSignatureLayout {
    int program = -1, version = -1, module = -1, moduleVersion = -1, exceptionCode = -1;
};

// APPCRASH; BEX and BEX64; AppHang... (the hangs); others: none (all -1).
WerSignatureLayout SignatureLayoutOf(std::string_view eventType);

}  // namespace vtx
