// Turns a card description into a 32768-byte card image file.
//   ostrivan_make_card DESCRIPTION IMAGE

#include "card/CardDescription.h"

#include <cstdio>
#include <fstream>
#include <iterator>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DESCRIPTION IMAGE\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in.eof() && in.fail()) {
        std::fprintf(stderr, "%s: cannot read\n", argv[1]);
        return 1;
    }
    const CardDescription card = CardFromDescription(text);
    if (!card.image) {
        std::fprintf(stderr, "%s: %s\n", argv[1], card.error.c_str());
        return 1;
    }
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(card.image->data()), CardMemorySize);
    out.close();
    if (!out) {
        std::fprintf(stderr, "%s: cannot write\n", argv[2]);
        return 1;
    }
    return 0;
}
