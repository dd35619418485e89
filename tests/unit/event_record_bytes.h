// Records of the classic event log as the bytes ReadEventLogW fills its buffer
// with, made by the tests of the record decoder, the profile and the fuzzer's seeds.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "profile/event_records.h"
#include "unit/utf16_bytes.h"

namespace vtx::testing {

struct RecordLayout {
    std::string source;
    std::uint32_t eventId = 0;  // with qualifier bits, as stored
    std::uint32_t timeGenerated = 0;
    std::vector<std::string> strings;
    std::uint16_t eventType = kEventTypeError;
    int declaredStrings = -1;  // -1: as many as `strings`
};

inline void PutDword(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i) & 0xFF);
}

// One record: header, source, computer "KASSE", no SID, the strings, 4 bytes of
// data, padding to 4 and the closing length.
inline std::string RecordBytes(const RecordLayout& layout, std::uint32_t number = 1) {
    std::string bytes(kEventRecordHeaderSize, '\0');
    const auto wide = [](const std::string& text) { return Utf16Bytes(text) + std::string(2, '\0'); };
    bytes += wide(layout.source) + wide("KASSE");
    const std::size_t stringOffset = bytes.size();
    for (const std::string& text : layout.strings) bytes += wide(text);
    const std::size_t dataOffset = bytes.size();
    bytes += "DATA";
    while (bytes.size() % 4 != 0) bytes += '\0';
    bytes += std::string(4, '\0');
    const auto length = static_cast<std::uint32_t>(bytes.size());
    PutDword(bytes, 0, length);
    PutDword(bytes, 4, kEventRecordSignature);
    PutDword(bytes, 8, number);
    PutDword(bytes, 12, layout.timeGenerated);
    PutDword(bytes, 16, layout.timeGenerated);
    PutDword(bytes, 20, layout.eventId);
    const std::uint16_t declared =
        static_cast<std::uint16_t>(layout.declaredStrings < 0 ? layout.strings.size() : static_cast<std::size_t>(layout.declaredStrings));
    bytes[24] = static_cast<char>(layout.eventType & 0xFF);
    bytes[25] = static_cast<char>(layout.eventType >> 8);
    bytes[26] = static_cast<char>(declared & 0xFF);
    bytes[27] = static_cast<char>(declared >> 8);
    PutDword(bytes, 36, static_cast<std::uint32_t>(stringOffset));
    PutDword(bytes, 48, 4);
    PutDword(bytes, 52, static_cast<std::uint32_t>(dataOffset));
    PutDword(bytes, length - 4, length);
    return bytes;
}

}  // namespace vtx::testing
