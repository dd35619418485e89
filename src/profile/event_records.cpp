#include "profile/event_records.h"

#include "common/utf16_text.h"

namespace vtx {
namespace {

std::uint32_t Dword(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 3])) << 24;
}

std::uint16_t Word(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      static_cast<unsigned char>(bytes[at + 1]) << 8);
}

// The NUL-terminated UTF-16 string at `at` of `record`, and where the next one
// starts; a string without its NUL ends with the record (next = npos).
std::string WideString(std::string_view record, std::size_t at, std::size_t& next) {
    std::size_t end = at;
    while (end + 1 < record.size() && (record[end] != '\0' || record[end + 1] != '\0')) end += 2;
    next = end + 1 < record.size() ? end + 2 : std::string_view::npos;
    std::string text = Utf16BytesToUtf8(record.substr(at, end - at));
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return text;
}

}  // namespace

EventRecords ParseEventLogRecords(std::string_view bytes) {
    EventRecords out;
    std::size_t offset = 0;
    while (offset < bytes.size()) {
        if (bytes.size() - offset < kEventRecordHeaderSize) {
            out.damaged = true;
            break;
        }
        const std::uint32_t length = Dword(bytes, offset);
        if (length < kEventRecordHeaderSize || length > bytes.size() - offset || length % 4 != 0 ||
            Dword(bytes, offset + 4) != kEventRecordSignature) {
            out.damaged = true;
            break;
        }
        const std::string_view record = bytes.substr(offset, length);
        offset += length;

        EventRecord event;
        event.recordNumber = Dword(record, 8);
        event.timeGenerated = Dword(record, 12);
        event.eventId = Dword(record, 20);
        event.eventType = Word(record, 24);
        const std::uint16_t declared = Word(record, 26);
        const std::uint32_t stringOffset = Dword(record, 36);
        std::size_t next = 0;
        event.source = WideString(record, kEventRecordHeaderSize, next);
        if (stringOffset >= kEventRecordHeaderSize && stringOffset < record.size()) {
            next = stringOffset;
            for (std::uint16_t i = 0; i < declared && next != std::string_view::npos; ++i)
                event.strings.push_back(WideString(record, next, next));
        }
        out.records.push_back(std::move(event));
    }
    return out;
}

}  // namespace vtx
