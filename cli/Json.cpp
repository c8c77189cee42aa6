#include "cli/Json.h"

#include <cstdio>

namespace tavoren::cli {

std::string JsonQuoted(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        switch (c) {
            case '"':
                quoted += "\\\"";
                break;
            case '\\':
                quoted += "\\\\";
                break;
            case '\b':
                quoted += "\\b";
                break;
            case '\f':
                quoted += "\\f";
                break;
            case '\n':
                quoted += "\\n";
                break;
            case '\r':
                quoted += "\\r";
                break;
            case '\t':
                quoted += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned char>(c));
                    quoted += escape;
                } else {
                    quoted += c;
                }
        }
    }
    quoted += '"';
    return quoted;
}

void JsonWriter::BeforeValue() {
    if (m_needsComma) m_text += ',';
    m_needsComma = true;
}

JsonWriter& JsonWriter::BeginObject() {
    BeforeValue();
    m_text += '{';
    m_needsComma = false;
    return *this;
}

JsonWriter& JsonWriter::EndObject() {
    m_text += '}';
    m_needsComma = true;
    return *this;
}

JsonWriter& JsonWriter::BeginArray() {
    BeforeValue();
    m_text += '[';
    m_needsComma = false;
    return *this;
}

JsonWriter& JsonWriter::EndArray() {
    m_text += ']';
    m_needsComma = true;
    return *this;
}

JsonWriter& JsonWriter::Key(std::string_view name) {
    BeforeValue();
    m_text += JsonQuoted(name);
    m_text += ':';
    m_needsComma = false;
    return *this;
}

JsonWriter& JsonWriter::String(std::string_view text) {
    BeforeValue();
    m_text += JsonQuoted(text);
    return *this;
}

JsonWriter& JsonWriter::Number(std::int64_t value) {
    BeforeValue();
    m_text += std::to_string(value);
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
    BeforeValue();
    m_text += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::Null() {
    BeforeValue();
    m_text += "null";
    return *this;
}

}  // namespace tavoren::cli
