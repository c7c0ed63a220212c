#include "card/CodePage.h"

#include <gtest/gtest.h>

namespace {

TEST(CodePage, EveryByteComesBackUnchanged) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte) {
        all.push_back(static_cast<char>(byte));
    }
    EXPECT_EQ(codepage::Encode(codepage::Decode(all)), all);
    EXPECT_EQ(codepage::FromFileName(codepage::ToFileName(all.substr(1))), all.substr(1));
}

TEST(CodePage, MapsTheWindowsCharactersAndTheUnassignedBytes) {
    EXPECT_EQ(codepage::Decode("A\x80\x81\x8D\x8F\x90\x9D\x9F\x99\xC4\xFF"),
              U"A\u20AC\u0081\u008D\u008F\u0090\u009D\u0178\u2122\u00C4\u00FF");
}

TEST(CodePage, WhatTheCodePageCannotHoldBecomesAQuestionMark) {
    EXPECT_EQ(codepage::Encode(U"Gr\u00FC\u00DF \u20AC \u0416 \U0001F404 \u0080"),
              "Gr\xFC\xDF \x80 ? ? ?");
    EXPECT_EQ(codepage::FromFileName("/home/gr\xC3\xBC\xC3\x9F/\xD0\x96/\xFF"),
              "/home/gr\xFC\xDF/?/?");
    EXPECT_EQ(codepage::ToFileName("caf\xE9 \x80").native(), "caf\xC3\xA9 \xE2\x82\xAC");
}

} // namespace
