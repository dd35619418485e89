// A flag that is set for the lifetime of a scope: an action running, a walk that
// closing the window must stop first. Portable.
#pragma once

namespace vtx {

class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;
    ~FlagScope() { flag_ = false; }

private:
    bool& flag_;
};

}  // namespace vtx
