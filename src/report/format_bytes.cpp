#include "report/format_bytes.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "common/strings.h"

namespace vtx {
namespace {

// The decimal digits of |value| rounded half away from zero to two places, as
// integer digits (at least "0") and exactly two fraction digits.
void RoundToHundredths(double value, std::string& integerDigits, std::string& fractionDigits) {
    // 15 significant digits: d.dddddddddddddde+XX
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::scientific, 14);
    const std::string_view scientific(text, result.ptr - text);
    const size_t e = scientific.find('e');
    std::string digits;
    for (char c : scientific.substr(0, e))
        if (c != '.') digits += c;
    const int exponent = std::atoi(std::string(scientific.substr(e + 1)).c_str());

    // Lay the digits out around the decimal point: `pointAt` digits before it.
    const int pointAt = exponent + 1;
    if (pointAt <= 0) {
        digits.insert(0, static_cast<size_t>(-pointAt), '0');
    } else if (static_cast<size_t>(pointAt) > digits.size()) {
        digits.append(static_cast<size_t>(pointAt) - digits.size(), '0');
    }
    const size_t integerCount = pointAt > 0 ? static_cast<size_t>(pointAt) : 0;
    const size_t keep = integerCount + 2;
    if (digits.size() < keep) digits.append(keep - digits.size(), '0');
    const bool roundUp = digits.size() > keep && digits[keep] >= '5';
    digits.resize(keep);
    if (roundUp) {
        size_t i = keep;
        while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
        if (i == 0) {
            digits.insert(0, 1, '1');
        } else {
            ++digits[i - 1];
        }
    }
    integerDigits = digits.substr(0, digits.size() - 2);
    fractionDigits = digits.substr(digits.size() - 2);
    const size_t firstNonZero = integerDigits.find_first_not_of('0');
    integerDigits = firstNonZero == std::string::npos ? "0" : integerDigits.substr(firstNonZero);
}

std::string FormatNumber(double value, const std::string& decimalSeparator, const std::string& groupSeparator) {
    std::string integerDigits, fractionDigits;
    RoundToHundredths(value, integerDigits, fractionDigits);
    std::string text;
    if (value < 0 && (integerDigits != "0" || fractionDigits != "00")) text += '-';
    text += GroupDigits(integerDigits, groupSeparator);
    text += decimalSeparator;
    text += fractionDigits[0];
    if (fractionDigits[1] != '0') text += fractionDigits[1];
    return text;
}

}  // namespace

std::string FormatBytes(double bytes, const std::string& decimalSeparator, const std::string& groupSeparator) {
    if (!std::isfinite(bytes)) return "";
    const double kilo = bytes / 1024;
    const double mega = kilo / 1024;
    const double giga = mega / 1024;
    if (giga >= 1) return FormatNumber(giga, decimalSeparator, groupSeparator) + " GB";
    if (mega >= 1) return FormatNumber(mega, decimalSeparator, groupSeparator) + " MB";
    return FormatNumber(kilo, decimalSeparator, groupSeparator) + " KB";
}

std::optional<double> ParseDecimalText(std::string_view text) {
    const size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    const auto isDigits = [](std::string_view part) {
        return part.find_first_not_of("0123456789") == std::string_view::npos;
    };
    if (whole.empty() || !isDigits(whole) || !isDigits(fraction)) return std::nullopt;
    if (point != std::string_view::npos && fraction.empty()) return std::nullopt;
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

}  // namespace vtx
