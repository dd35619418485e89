// Byte counts as the report prints them: "1,0 GB", "1.024,0 MB", "0,5 KB".
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace vtx {

// `bytes` in the largest of GB, MB, KB (powers of 1024) whose quotient is at least
// 1, KB also for fewer than 1024 bytes (512 -> "0,5 KB"). The quotient is written
// with the pattern "###,##0.0#": thousands grouped with `groupSeparator`, at least
// one digit before `decimalSeparator`, one or two decimals, rounded half away from
// zero on the value's 15 significant decimal digits (so a quotient stored as
// 3.98999999999999977 is 3,99 and one stored as 1023.99999904 is 1.024,0).
// Empty for a NaN or infinite value.
std::string FormatBytes(double bytes, const std::string& decimalSeparator, const std::string& groupSeparator);

// A decimal number as WMI writes it (64-bit counters come as text, e.g.
// "17179398144"): digits with an optional "." and fraction, nothing else. Empty
// when the text is not such a number.
std::optional<double> ParseDecimalText(std::string_view text);

}  // namespace vtx
