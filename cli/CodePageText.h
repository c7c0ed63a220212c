#pragma once

#include <string>
#include <string_view>

// Why a text typed on the command line (UTF-8) cannot be taken into the code page: "the tag
// holds 日 (U+65E5), which a card cannot hold", or "... holds a byte that is not UTF-8, ...";
// empty when every character has its byte.
std::string NotInCodePage(std::string_view what, std::string_view text, std::string_view holder);
