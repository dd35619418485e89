// How a probe of the system profile that can block ended. Portable.
#pragma once

namespace vtx {

// How a probe that can block (a device query, a COM service) ended.
enum class ProbeOutcome {
    Answered,  // it ran to its end; single facts may still be missing
    Failed,    // it could not start or its service refused
    TimedOut,  // no answer within its deadline
};

}  // namespace vtx
