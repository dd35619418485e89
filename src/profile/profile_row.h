// One line of a section of the system profile before it is laid out: its indent,
// its label and its value. The sections' portable builders give these; the profile
// lays them out in its columns. Portable.
#pragma once
#include <string>

namespace vtx {

struct ProfileRow {
    int indent = 0;
    std::string label, value;
};

}  // namespace vtx
