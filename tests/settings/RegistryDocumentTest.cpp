#include "settings/RegistryDocument.h"

#include <gtest/gtest.h>

namespace {

constexpr std::string_view Key = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Trelk\\Ostrivan";

TEST(RegistryDocument, NewValueGoesIntoItsSectionBeforeTheBlankLines) {
    auto document = RegistryDocument::Parse("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Trelk\\"
                                            "Ostrivan]\r\n\"A\"=\"1\"\r\n\r\n[HKEY_USERS\\x]\r\n");
    document.SetValue(Key, "B", {1, {'2', 0}});
    EXPECT_EQ(document.Serialize(),
              "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Trelk\\Ostrivan]"
              "\r\n\"A\"=\"1\"\r\n\"B\"=\"2\"\r\n\r\n[HKEY_USERS\\x]\r\n");
}

TEST(RegistryDocument, LastLineOfANameWinsAndSettingLeavesOneLine) {
    auto document = RegistryDocument::Parse(
        "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Trelk\\Ostrivan]\n\"A\"=\"1\"\n\"a\"=\"2\"\n");
    EXPECT_EQ(document.FindValue(Key, "A"), (RegistryValue{1, {'2', 0}}));
    document.SetValue(Key, "A", {4, {1, 0, 0, 0}});
    EXPECT_EQ(document.Serialize(),
              "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Trelk\\Ostrivan]\r\n"
              "\"A\"=dword:00000001\r\n");
}

TEST(RegistryDocument, ValueContinuedAtTheEndOfTheFileStaysApartFromANewOne) {
    auto document = RegistryDocument::Parse(
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Trelk\\Ostrivan]\r\n\"Raw\"=hex:01,02,\\");
    document.SetValue(Key, "Farm Name", {1, {'f', 0}});
    const auto reread = RegistryDocument::Parse(document.Serialize());
    EXPECT_EQ(reread.FindValue(Key, "Farm Name"), (RegistryValue{1, {'f', 0}}));
    EXPECT_EQ(reread.FindValue(Key, "Raw"), (RegistryValue{3, {1, 2}}));
}

TEST(RegistryDocument, KeyExistsThroughItsSubkeys) {
    const auto document = RegistryDocument::Parse("[HKEY_USERS\\a\\b\\c]\r\n");
    EXPECT_TRUE(document.HasKey("HKEY_USERS\\A\\b"));
    EXPECT_FALSE(document.HasKey("HKEY_USERS\\a\\bc"));
}

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
