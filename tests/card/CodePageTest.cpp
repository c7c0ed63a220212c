#include "card/CodePage.h"

#include <gtest/gtest.h>

namespace {

TEST(CodePage, EveryByteComesBackUnchanged) {
    for (int byte = 0; byte < 256; ++byte) {
        const auto character = codepage::ToUnicode(static_cast<std::uint8_t>(byte));
        EXPECT_EQ(codepage::FromUnicode(character), byte) << "byte " << byte;
    }
}

TEST(CodePage, MapsTheWindowsCharactersAndTheUnassignedBytes) {
    const std::pair<std::uint8_t, char32_t> cases[] = {
        {0x41, U'A'},      {0x80, U'\u20AC'}, {0x81, U'\u0081'}, {0x8D, U'\u008D'},
        {0x8F, U'\u008F'}, {0x90, U'\u0090'}, {0x9D, U'\u009D'}, {0x9F, U'\u0178'},
        {0x99, U'\u2122'}, {0xC4, U'\u00C4'}, {0xFF, U'\u00FF'}};
    for (const auto& [byte, character] : cases) {
        EXPECT_EQ(codepage::ToUnicode(byte), character) << "byte " << int(byte);
    }
}

TEST(CodePage, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(codepage::Encode(U"Gr\u00FC\u00DF \u20AC \u0416 \U0001F404 \u0080"),
              "Gr\xFC\xDF \x80 ? ? ?");
    EXPECT_EQ(codepage::Decode("\x80\x9D"), U"\u20AC\u009D");
}

} // namespace
