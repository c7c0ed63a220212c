// Turns a card written as text into a 32768-byte card image file.
//   ostrivan_make_card TEXT IMAGE        (TEXT "-": standard input)

#include "base/Files.h"
#include "card/CardDescription.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s TEXT IMAGE\n", argv[0]);
        return 2;
    }
    const CardDescription card = CardFromTextFile(argv[1]);
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
