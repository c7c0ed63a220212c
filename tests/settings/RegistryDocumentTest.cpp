#include "settings/RegistryDocument.h"

#include <gtest/gtest.h>

namespace {

TEST(RegistryDocument, EveryValueRoundTripsThroughItsLine) {
    const RegistryValue values[] = {
        {1, {0}},     {1, {'a', '"', '\\', 0}},      {1, {'a', 0, 'b', 0}}, {1, {'a'}},
        {1, {}},      {4, {0xff, 0xff, 0xff, 0x7f}}, {4, {1, 2}},           {3, {0, 1, 0xfe}},
        {0x1234, {9}}};
    for (const auto& value : values) {
        const std::string line = FormatValueLine("N \"q\"", value);
        const auto parsed = ParseValueLine(line);
        ASSERT_TRUE(parsed) << line;
        EXPECT_EQ(parsed->Name, "N \"q\"");
        EXPECT_EQ(parsed->Value, value) << line;
    }
}

} // namespace
