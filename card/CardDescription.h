#pragma once

#include "card/CardImage.h"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

// A card written down as text, one item a line, so that card images can be kept readable:
//
//   Card 32                      Card, Origin, Receiver: the record and its number
//   Draft "IE1234567"            Application, Device, Draft, Location, Print: record and text
//   time 2024-03-15 07:02:11     a time stamp
//   number 452                   a number field
//   text "Hill field"            a text field
//   tag "IE1234567"              a tag number
//   item 07 01 02                any item: its tag and value bytes, in hexadecimal
//   end                          the end marker
//   repeat 300 tag "A"           an item line, that many times
//   at 4000                      the next item at that card address
//
// Texts are taken byte for byte; '#' starts a comment. Memory where no item was put is erased.
struct CardDescription {
    std::unique_ptr<CardBuffer> image;
    std::string error; // "line N: what is wrong" when the text is not a card
};

CardDescription CardFromDescription(std::string_view text);

// Bounds of a card text, far above a full card's (under 100 KB): a file past them is no card
// text, and is not read to its end.
constexpr std::size_t LargestCardText = 4 * 1024 * 1024;
constexpr std::size_t LongestCardTextLine = 64 * 1024;

// The card written as text in the file ("-": standard input), read only up to the bounds. The
// error says why the file cannot be read, or where it is no card text.
CardDescription CardFromTextFile(const std::string& source);

// At most 80 characters of the input, for a message, in UTF-8 whatever its bytes: a byte that
// starts no UTF-8 character is the code page's character, a control character is '?', and
// "..." stands where it was cut.
std::string QuotedInput(std::string_view input);
