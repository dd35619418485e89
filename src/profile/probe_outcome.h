// How the system profile's probes end and what a missing fact reads as. Portable.
#pragma once

namespace vtx {

inline constexpr const char* kNotDetermined = "nicht ermittelbar";
inline constexpr const char* kNoAnswer = "nicht ermittelbar (keine Antwort)";

// How a probe that can block (a device query, a COM service) ended.
enum class ProbeOutcome {
    Answered,  // it ran to its end; single facts may still be missing
    Failed,    // it could not start or its service refused
    TimedOut,  // no answer within its deadline
};

}  // namespace vtx
