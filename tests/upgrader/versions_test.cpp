#include <gtest/gtest.h>

#include "upgrader/utils/versions.h"

using namespace upgrader;

namespace {

struct Case {
    const char* published;
    const char* running;
    int expected;
};
}  // namespace

TEST(CompareVersions, FourNumericPartsOrElseTheBytesOfTheWholeTexts) {
    const Case cases[] = {
        {"2.0.0.6", "2.0.0.5", 1},
        {"2.0.0.5", "2.0.0.5", 0},
        {"2.0.0.5", "2.0.0.10", -1},
        {"2.0.0.10", "2.0.0.5", 1},
        {"2.1", "2.1.0.0", 0},
        {"2.1", "2.0.0.5", 1},
        {"2.0.0.5.9", "2.0.0.5", 0},
        {"2.0.0.5", "2.0.0.5.1", 0},
        {"3", "2.9.9.9", 1},
        {"02.0.0.5", "2.0.0.5", 0},
        {"1.-5", "1.2", -1},
        {"1.2", "1.-5", 1},
        {"10.0", "9.0", 1},
        {"+2.0", "2.0", 0},
        {"1.-1.10", "1.-1.9", 1},
        {"1.-1", "1.2", -1},
        {"1.-1", "1.-1", 0},
        // Else the bytes of the whole texts decide.
        {"2.a", "2.1", 1},             // 'a' > '1'
        {"2.1", "2.a", -1},            //
        {"2.0.0.5b", "2.0.0.5", 1},    // the longer text is greater
        {"", "2.0.0.5", -1},           // an absent version is older
        {"", "", 0},                   //
        {"2..0", "2.1", -1},           // an empty part is no number
        {"3.x", "2.1", 1},             // decided by the first part before "x" is met
        {"2.0.0.\xff", "2.0.0.1", 1},  // bytes compare unsigned
        {"2.99999999999", "2.1", 1},   // out of range: text comparison, '9' > '1'
    };
    for (const Case& c : cases)
        EXPECT_EQ(CompareVersions(c.published, c.running), c.expected)
            << c.published << " vs " << c.running;
}
