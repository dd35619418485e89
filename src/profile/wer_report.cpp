#include "profile/wer_report.h"

#include "common/strings.h"
#include "common/utf16_text.h"

namespace vtx {
namespace {

// Positions beyond this are not kept: real records have at most ten.
constexpr std::size_t kMaxSignaturePositions = 32;

std::string DecodeText(std::string_view bytes, AnsiDecoder fromAnsi) {
    if (bytes.starts_with("\xFF\xFE")) return Utf16BytesToUtf8(bytes.substr(2));
    if (bytes.starts_with("\xFE\xFF")) return Utf16BytesToUtf8(bytes.substr(2), true);
    if (bytes.starts_with("\xEF\xBB\xBF")) return std::string(bytes.substr(3));
    if (bytes.size() >= 2 && bytes[0] != '\0' && bytes[1] == '\0') return Utf16BytesToUtf8(bytes);
    return fromAnsi ? fromAnsi(bytes) : std::string(bytes);
}

// A decimal number without sign that fits 64 bits.
std::optional<std::uint64_t> Decimal(std::string_view text) {
    if (text.empty() || text.size() > 20) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (value > (UINT64_MAX - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

// "Sig[3].Value" -> 3.
std::optional<std::size_t> SignatureValuePosition(std::string_view name) {
    if (!name.starts_with("Sig[") || !name.ends_with("].Value")) return std::nullopt;
    const auto number = Decimal(name.substr(4, name.size() - 4 - 7));
    if (!number || *number >= kMaxSignaturePositions) return std::nullopt;
    return static_cast<std::size_t>(*number);
}

std::string Blanked(std::string_view value) {
    std::string text(value);
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return text;
}

}  // namespace

std::optional<WerReport> ParseWerReport(std::string_view bytes, AnsiDecoder fromAnsi) {
    const std::string text = DecodeText(bytes.substr(0, kWerReportReadLimit), fromAnsi);
    WerReport report;
    std::string_view rest = text;
    while (!rest.empty()) {
        const size_t end = rest.find_first_of("\r\n");
        const std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        const std::string_view name = line.substr(0, equals), value = line.substr(equals + 1);
        if (name == "EventType") {
            report.eventType = Blanked(value);
        } else if (name == "EventTime") {
            // A FILETIME that Windows can still turn into a date.
            const auto time = Decimal(value);
            report.eventTime = time && *time > 0 && *time < 0x8000000000000000ull ? time : std::nullopt;
        } else if (name == "AppName") {
            report.appName = Blanked(value);
        } else if (name == "AppPath") {
            report.appPath = Blanked(value);
        } else if (const auto position = SignatureValuePosition(name)) {
            if (report.signature.size() <= *position) report.signature.resize(*position + 1);
            report.signature[*position] = Blanked(value);
        }
    }
    if (report.eventType.find_first_not_of(' ') == std::string::npos) return std::nullopt;
    return report;
}

WerSignatureLayout SignatureLayoutOf(std::string_view eventType) {
    WerSignatureLayout layout;
    if (EqualsIgnoringAsciiCase(eventType, "APPCRASH")) {
        layout = {0, 1, 3, 4, 6};
    } else if (EqualsIgnoringAsciiCase(eventType, "BEX") || EqualsIgnoringAsciiCase(eventType, "BEX64")) {
        layout = {0, 1, 3, 4, 7};
    } else if (StartsWithIgnoringAsciiCase(eventType, "AppHang")) {
        layout = {0, 1, -1, -1, -1};
    }
    return layout;
}

}  // namespace vtx
