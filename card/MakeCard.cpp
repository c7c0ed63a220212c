// Turns a card description into a 32768-byte card image file.
//   ostrivan_make_card DESCRIPTION IMAGE

#include "base/Files.h"
#include "card/CardDescription.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DESCRIPTION IMAGE\n", argv[0]);
        return 2;
    }
    std::string text;
    if (const auto error = files::ReadWholeFile(argv[1], text)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.message().c_str());
        return 1;
    }
    const CardDescription card = CardFromDescription(text);
    if (!card.image) {
        std::fprintf(stderr, "%s: %s\n", argv[1], card.error.c_str());
        return 1;
    }
    const std::string_view image(reinterpret_cast<const char*>(card.image->data()), CardMemorySize);
    if (const auto error = files::ReplaceFile(argv[2], image)) {
        std::fprintf(stderr, "%s: %s\n", argv[2], error.message().c_str());
        return 1;
    }
    return 0;
}
