#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tavoren::cli {

// Builds one compact JSON text. The caller keeps objects and arrays balanced; commas and
// string escapes are handled here.
class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    // Inside an object: the member name that the next value belongs to.
    JsonWriter& Key(std::string_view name);
    JsonWriter& String(std::string_view text);
    JsonWriter& Number(std::int64_t value);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();

    const std::string& Text() const { return m_text; }

private:
    void BeforeValue();

    std::string m_text;
    bool m_needsComma = false;
};

// `text` as a quoted JSON string; bytes from 80h up pass through (the text is UTF-8).
std::string JsonQuoted(std::string_view text);

}  // namespace tavoren::cli
