#include "report/registry_text.h"

#include <gtest/gtest.h>

#include <string>

namespace vtx {
namespace {

TEST(TrimAtNul, CutsAtTheFirstNul) {
    using namespace std::string_literals;
    struct Case {
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {"", ""},
        {"InprocServer32", "InprocServer32"},
        {"abc\0def\0"s, "abc"},
        {"\0abc"s, ""},
        {"Ελληνικά\0x"s, "Ελληνικά"},
    };
    for (const Case& c : cases) EXPECT_EQ(TrimAtNul(c.text), c.expected) << c.expected;
}

}  // namespace
}  // namespace vtx
