#include "json_writer.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace quelta_cli {
namespace {

// Length of the valid UTF-8 sequence at text[i], 0 when the bytes there are
// not one (overlong forms, surrogates and values above U+10FFFF included).
std::size_t Utf8Length(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char c = byte(i);
    std::size_t n = 0;
    unsigned lowest = 0;
    if (c >= 0xC2 && c <= 0xDF)
        n = 2, lowest = 0x80;
    else if (c >= 0xE0 && c <= 0xEF)
        n = 3, lowest = 0x800;
    else if (c >= 0xF0 && c <= 0xF4)
        n = 4, lowest = 0x10000;
    else
        return 0;
    if (i + n > text.size())
        return 0;
    unsigned code = c & (0x7F >> n);
    for (std::size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return n;
}

} // namespace

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            if (std::size_t n = Utf8Length(text, i); n > 0) {
                out.append(text.substr(i, n));
                i += n;
            } else {
                out += "\\ufffd";
                ++i;
            }
            continue;
        }
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        default:
            if (c < 0x20 || c == 0x7F) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += static_cast<char>(c);
            }
        }
        ++i;
    }
    return out + "\"";
}

void JsonWriter::BeforeValue() {
    if (needComma_)
        text_ += ',';
    needComma_ = true;
}

JsonWriter& JsonWriter::BeginObject() {
    BeforeValue();
    text_ += '{';
    needComma_ = false;
    return *this;
}

JsonWriter& JsonWriter::EndObject() {
    text_ += '}';
    needComma_ = true;
    return *this;
}

JsonWriter& JsonWriter::BeginArray() {
    BeforeValue();
    text_ += '[';
    needComma_ = false;
    return *this;
}

JsonWriter& JsonWriter::EndArray() {
    text_ += ']';
    needComma_ = true;
    return *this;
}

JsonWriter& JsonWriter::Key(std::string_view name) {
    BeforeValue();
    text_ += JsonString(name);
    text_ += ':';
    needComma_ = false;
    return *this;
}

JsonWriter& JsonWriter::String(std::string_view text) {
    BeforeValue();
    text_ += JsonString(text);
    return *this;
}

JsonWriter& JsonWriter::Number(double value) {
    if (!std::isfinite(value))
        return Null();
    BeforeValue();
    char buf[32];
    const auto [end, error] = std::to_chars(buf, buf + sizeof buf, value);
    text_.append(buf, error == std::errc() ? end : buf);
    return *this;
}

JsonWriter& JsonWriter::Integer(long long value) {
    BeforeValue();
    text_ += std::to_string(value);
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
    BeforeValue();
    text_ += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::Null() {
    BeforeValue();
    text_ += "null";
    return *this;
}

} // namespace quelta_cli
