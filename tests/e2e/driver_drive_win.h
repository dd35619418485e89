// A drive letter that comes and goes while the tool runs, like a USB stick that is
// pulled: made through Wine's mount manager (the request its configuration tool
// sends), so it works only under Wine, where the end-to-end tests run.
#pragma once
#include <string>

namespace vtx::testing {

class TemporaryDrive {
public:
    // Maps `letter` (a..z) to the existing folder `folder` (UTF-8 Windows path).
    TemporaryDrive(char letter, const std::string& folder);
    TemporaryDrive(const TemporaryDrive&) = delete;
    TemporaryDrive& operator=(const TemporaryDrive&) = delete;
    ~TemporaryDrive() { Remove(); }

    // True while the drive is there.
    bool mapped() const { return mapped_; }
    // "R:\"
    std::string root() const { return std::string(1, static_cast<char>(letter_ - 'a' + 'A')) + ":\\"; }
    // Takes the drive away; its folder and contents stay.
    void Remove();

private:
    char letter_;
    bool mapped_ = false;
};

}  // namespace vtx::testing
