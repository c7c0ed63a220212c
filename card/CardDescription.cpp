#include "card/CardDescription.h"

#include "base/Files.h"
#include "card/CardTags.h"
#include "card/CardFile.h"
#include "card/CodePage.h"

#include <charconv>
#include <cstdio>
#include <fcntl.h>
#include <iterator>
#include <map>
#include <optional>
#include <unistd.h>
#include <utf8.h>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

enum class ValueKind { Number, Text, Time, Raw, None };

struct Keyword {
    std::uint8_t tag;
    ValueKind kind;
};

const std::map<std::string_view, Keyword> Keywords = {
    {"Card", {TagCard, ValueKind::Number}},
    {"Application", {TagApplication, ValueKind::Text}},
    {"Device", {TagDevice, ValueKind::Text}},
    {"Draft", {TagDraft, ValueKind::Text}},
    {"Origin", {TagOrigin, ValueKind::Number}},
    {"Receiver", {TagReceiver, ValueKind::Number}},
    {"Location", {TagLocation, ValueKind::Text}},
    {"Print", {TagPrint, ValueKind::Text}},
    {"time", {TagTimeStamp, ValueKind::Time}},
    {"number", {TagNumberField, ValueKind::Number}},
    {"text", {TagTextField, ValueKind::Text}},
    {"tag", {TagTagNumber, ValueKind::Text}},
    {"item", {0, ValueKind::Raw}},
    {"end", {TagEnd, ValueKind::None}}};

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

std::optional<Bytes> NumberValue(std::string_view text) {
    std::uint32_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    Bytes bytes;
    do {
        bytes.insert(bytes.begin(), static_cast<std::uint8_t>(number & 0xFF));
        number >>= 8;
    } while (number != 0);
    return bytes;
}

std::optional<Bytes> TextValue(std::string_view text) {
    if (text.size() < 2 || text.front() != '"' || text.back() != '"') {
        return std::nullopt;
    }
    text = text.substr(1, text.size() - 2);
    return Bytes(text.begin(), text.end());
}

std::uint8_t Bcd(int value) {
    return static_cast<std::uint8_t>((value / 10) << 4 | value % 10);
}

std::optional<Bytes> TimeValue(std::string_view text) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    char rest = 0;
    const std::string copy(text);
    if (std::sscanf(copy.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &year, &month, &day, &hour, &minute,
                    &second, &rest) != 6 ||
        month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59) {
        return std::nullopt;
    }
    return Bytes{Bcd(year % 100), Bcd(month), Bcd(day), Bcd(hour), Bcd(minute), Bcd(second)};
}

std::optional<Bytes> HexBytes(std::string_view text) {
    Bytes bytes;
    while (!(text = Trim(text)).empty()) {
        const std::size_t end = std::min(text.find(' '), text.size());
        unsigned value = 0;
        const auto [stop, error] = std::from_chars(text.data(), text.data() + end, value, 16);
        if (error != std::errc() || stop != text.data() + end || value > 0xFF) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<std::uint8_t>(value));
        text.remove_prefix(end);
    }
    return bytes;
}

std::optional<std::size_t> Count(std::string_view text) {
    std::size_t count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    return error == std::errc() && end == text.data() + text.size() ? std::optional(count)
                                                                    : std::nullopt;
}

// Splits "word rest" at the first blank.
std::pair<std::string_view, std::string_view> FirstWord(std::string_view line) {
    const std::size_t space = std::min(line.find(' '), line.size());
    return {line.substr(0, space), Trim(line.substr(space))};
}

// The item's bytes: tag, length, value.
std::optional<Bytes> ItemFromLine(std::string_view line) {
    const auto [word, rest] = FirstWord(line);
    const auto keyword = Keywords.find(word);
    if (keyword == Keywords.end()) {
        return std::nullopt;
    }
    std::optional<Bytes> value;
    std::uint8_t tag = keyword->second.tag;
    switch (keyword->second.kind) {
    case ValueKind::Number:
        value = NumberValue(rest);
        break;
    case ValueKind::Text:
        value = TextValue(rest);
        break;
    case ValueKind::Time:
        value = TimeValue(rest);
        break;
    case ValueKind::None:
        value = rest.empty() ? std::optional<Bytes>(Bytes{}) : std::nullopt;
        break;
    case ValueKind::Raw:
        value = HexBytes(rest);
        if (value && !value->empty()) {
            tag = value->front();
            value->erase(value->begin());
        } else {
            value.reset();
        }
        break;
    }
    if (!value || value->size() > 255) {
        return std::nullopt;
    }
    Bytes item = {tag, static_cast<std::uint8_t>(value->size())};
    item.insert(item.end(), value->begin(), value->end());
    return item;
}

// Puts the line's items where the next item goes; why it cannot, when it cannot.
std::string PlaceLine(std::string_view line, CardBuffer& image, std::size_t& at) {
    auto [word, rest] = FirstWord(line);
    if (word == "at") {
        const auto address = Count(rest);
        if (!address || *address >= static_cast<std::size_t>(CardMemorySize)) {
            return "not an address on the card: " + QuotedInput(rest);
        }
        at = *address;
        return {};
    }
    std::size_t times = 1;
    if (word == "repeat") {
        const auto [count, repeated] = FirstWord(rest);
        if (!Count(count)) {
            return "not a count: " + QuotedInput(count);
        }
        times = *Count(count);
        line = repeated;
    }
    const auto item = ItemFromLine(line);
    if (!item) {
        return "not an item: " + QuotedInput(line);
    }
    for (; times > 0; --times) {
        if (at + item->size() > static_cast<std::size_t>(CardMemorySize)) {
            return "the card is full";
        }
        std::copy(item->begin(), item->end(), image.begin() + static_cast<std::ptrdiff_t>(at));
        at += item->size();
    }
    return {};
}

CardDescription Refused(std::string error) {
    return {nullptr, std::move(error)};
}

// Reads the whole text, or says where it passed a bound.
std::string ReadBounded(files::File& file, std::string& text) {
    char chunk[8192];
    std::size_t got = 0;
    std::size_t lineStart = 0;
    int lines = 1;
    while (true) {
        if (const auto error = file.Read(chunk, got)) {
            return error.message();
        }
        if (got == 0) {
            return {};
        }
        for (std::size_t at = 0; at < got; ++at) {
            if (chunk[at] == '\n') {
                lineStart = text.size() + at + 1;
                ++lines;
            }
        }
        text.append(chunk, got);
        if (text.size() > LargestCardText) {
            return "longer than 4 MiB, which no card text is";
        }
        if (text.size() - lineStart > LongestCardTextLine) {
            return "line " + std::to_string(lines) + " is longer than 64 KiB: " +
                   QuotedInput(std::string_view(text).substr(lineStart));
        }
    }
}

} // namespace

std::string QuotedInput(std::string_view input) {
    constexpr std::size_t Shown = 80;
    std::string quoted;
    std::size_t characters = 0;
    for (auto at = input.begin(); at != input.end();) {
        if (++characters > Shown) {
            return quoted + "...";
        }
        // A UTF-8 character as it is; a byte that starts none as the code page's character.
        char32_t character = 0;
        const auto window = at + std::min<std::ptrdiff_t>(4, input.end() - at);
        if (utf8::find_invalid(at, window) != at) {
            character = utf8::next(at, input.end());
        } else {
            character = codepage::ToUnicode(static_cast<std::uint8_t>(*at++));
        }
        const bool control = character < 0x20 || (character >= 0x7F && character < 0xA0);
        utf8::append(control ? U'?' : character, std::back_inserter(quoted));
    }
    return quoted;
}

CardDescription CardFromTextFile(const std::string& source) {
    files::File file;
    const auto opened = source == "-" ? files::File::Duplicate(STDIN_FILENO, file)
                                      : files::File::Open(source, O_RDONLY, file);
    if (opened) {
        return Refused(opened.message());
    }
    std::string text;
    if (std::string error = ReadBounded(file, text); !error.empty()) {
        return Refused(std::move(error));
    }
    return CardFromDescription(text);
}

CardDescription CardFromDescription(std::string_view text) {
    CardDescription card{std::make_unique<CardBuffer>(), {}};
    card.image->fill(ErasedByte);
    std::size_t at = 0;
    for (int number = 1; !text.empty(); ++number) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        line = Trim(line.substr(0, std::min(line.find('#'), line.size())));
        if (line.empty()) {
            continue;
        }
        if (const std::string error = PlaceLine(line, *card.image, at); !error.empty()) {
            card.error = "line " + std::to_string(number) + ": " + error;
            card.image.reset();
            return card;
        }
    }
    return card;
}
