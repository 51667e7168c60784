#pragma once
// A small JSON writer for the machine-readable results of quelta-cli
// (--json): one object built in memory, printed at the end. Strings are
// escaped as RFC 8259 asks (quote, backslash, control characters); UTF-8
// is kept as it is, and bytes that are not valid UTF-8 (a file name can hold
// any bytes) become U+FFFD, so the output is always valid JSON. Numbers that
// are not finite are written as null.
#include <string>
#include <string_view>

namespace quelta_cli {

class JsonWriter {
  public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    // The name of the next value inside an object.
    JsonWriter& Key(std::string_view name);
    JsonWriter& String(std::string_view text);
    // Shortest text that reads back as the same double; null when not finite.
    JsonWriter& Number(double value);
    JsonWriter& Integer(long long value);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();

    const std::string& Text() const { return text_; }

  private:
    void BeforeValue();
    std::string text_;
    bool needComma_ = false;
};

// text as a quoted JSON string.
std::string JsonString(std::string_view text);

} // namespace quelta_cli
