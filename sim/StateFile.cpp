#include "sim/StateFile.h"

#include <array>
#include <charconv>

#include "drive/DriveTypes.h"

namespace tavoren::sim {
namespace {

struct Field {
    std::string_view key;
    unsigned maximum;
    unsigned (*get)(const DriveSettings&);
    void (*set)(DriveSettings&, unsigned);
};

constexpr std::array<Field, 8> kFields = {{
    {"quiet", 3, [](const DriveSettings& s) -> unsigned { return s.quietCode; },
     [](DriveSettings& s, unsigned v) { s.quietCode = static_cast<std::uint8_t>(v); }},
    {"veritrax", 1, [](const DriveSettings& s) -> unsigned { return s.veritraxOn; },
     [](DriveSettings& s, unsigned v) { s.veritraxOn = v != 0; }},
    {"mode", 255, [](const DriveSettings& s) -> unsigned { return s.veritraxModeByte; },
     [](DriveSettings& s, unsigned v) { s.veritraxModeByte = static_cast<std::uint8_t>(v); }},
    {"realtime", 1, [](const DriveSettings& s) -> unsigned { return s.realTimeVeritrax; },
     [](DriveSettings& s, unsigned v) { s.realTimeVeritrax = v != 0; }},
    {"led", 255, [](const DriveSettings& s) -> unsigned { return s.ledPattern; },
     [](DriveSettings& s, unsigned v) { s.ledPattern = static_cast<std::uint8_t>(v); }},
    {"brightness", 255, [](const DriveSettings& s) -> unsigned { return s.ledBrightness; },
     [](DriveSettings& s, unsigned v) { s.ledBrightness = static_cast<std::uint8_t>(v); }},
    {"cycle", 255, [](const DriveSettings& s) -> unsigned { return s.ledBlinkCycle; },
     [](DriveSettings& s, unsigned v) { s.ledBlinkCycle = static_cast<std::uint8_t>(v); }},
    {"usb", 255, [](const DriveSettings& s) -> unsigned { return s.usbDirectPattern; },
     [](DriveSettings& s, unsigned v) { s.usbDirectPattern = static_cast<std::uint8_t>(v); }},
}};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// Splits off the next blank-separated word; empty at the end of the text.
std::string_view NextWord(std::string_view& text) {
    std::size_t start = 0;
    while (start < text.size() && IsBlank(text[start])) ++start;
    std::size_t end = start;
    while (end < text.size() && !IsBlank(text[end])) ++end;
    const std::string_view word = text.substr(start, end - start);
    text.remove_prefix(end);
    return word;
}

std::optional<unsigned> ParseNumber(std::string_view text, unsigned maximum) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value > maximum) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::string FormatStateLine(const StateLine& line) {
    std::string text(1, line.letter);
    for (const Field& field : kFields) {
        text += ' ';
        text += field.key;
        text += '=';
        text += std::to_string(field.get(line.settings));
    }
    return text;
}

std::optional<StateLine> ParseStateLine(std::string_view text) {
    const std::string_view letter = NextWord(text);
    if (letter.size() != 1 || !IsDriveLetter(letter[0])) return std::nullopt;
    StateLine line{letter[0], {}};
    std::array<bool, kFields.size()> seen{};
    for (std::string_view word = NextWord(text); !word.empty(); word = NextWord(text)) {
        const std::size_t equals = word.find('=');
        if (equals == std::string_view::npos) return std::nullopt;
        const std::string_view key = word.substr(0, equals);
        std::size_t index = 0;
        while (index < kFields.size() && kFields[index].key != key) ++index;
        if (index == kFields.size() || seen[index]) return std::nullopt;
        const auto value = ParseNumber(word.substr(equals + 1), kFields[index].maximum);
        if (!value) return std::nullopt;
        kFields[index].set(line.settings, *value);
        seen[index] = true;
    }
    for (const bool found : seen) {
        if (!found) return std::nullopt;
    }
    return line;
}

}  // namespace tavoren::sim
