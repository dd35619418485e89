// The records of the classic event log as ReadEventLogW hands them over: one
// buffer of EVENTLOGRECORD structures, each followed by its source name, the
// computer name, the user's SID, the insertion strings and binary data. Decoded
// here from the bytes, by the documented layout, so that every kind of record
// can be tested without an event log. Portable.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vtx {

// The fixed part of a record, up to the source name.
inline constexpr std::size_t kEventRecordHeaderSize = 56;
// "LfLe", the signature in every record's second field.
inline constexpr std::uint32_t kEventRecordSignature = 0x654C664C;

// EVENTLOG_ERROR_TYPE, EVENTLOG_WARNING_TYPE of the record's EventType.
inline constexpr std::uint16_t kEventTypeError = 0x0001;
inline constexpr std::uint16_t kEventTypeWarning = 0x0002;

struct EventRecord {
    std::uint32_t recordNumber = 0;
    std::uint32_t timeGenerated = 0;  // seconds since 1970-01-01, UTC
    std::uint32_t eventId = 0;        // as stored, qualifier bits included
    std::uint16_t eventType = 0;
    std::string source;
    // As many as the record really holds: a string that runs past the record's
    // end is cut there and is the last one.
    std::vector<std::string> strings;

    // The event ID as the event viewer shows it.
    unsigned Id() const { return eventId & 0xFFFF; }
};

struct EventRecords {
    std::vector<EventRecord> records;  // in the order of the buffer
    // A record whose length or signature is wrong ended the decoding: what
    // follows it cannot be found.
    bool damaged = false;
};

EventRecords ParseEventLogRecords(std::string_view bytes);

}  // namespace vtx
