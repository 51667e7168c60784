#pragma once
// Why a file could not be read, and the value-or-error result the layout
// registry returns. Nothing here throws: a failed read is a FileError that
// says what went wrong and where ("line 14: expected 73 numbers, found 41").
#include <string>
#include <utility>
#include <variant>

namespace dataformats {

struct FileError {
    std::string where; // "line 14", "byte 2032"; empty when the file as a whole is meant
    std::string what;  // what was expected or found there

    // "where: what", or just "what" without a place.
    std::string Text() const { return where.empty() ? what : where + ": " + what; }
};

// A value or the FileError that prevented it.
template <class T> class Expected {
  public:
    Expected(T value) : v_(std::in_place_index<0>, std::move(value)) {}
    Expected(FileError error) : v_(std::in_place_index<1>, std::move(error)) {}

    bool has_value() const { return v_.index() == 0; }
    explicit operator bool() const { return has_value(); }

    T& value() & { return std::get<0>(v_); }
    const T& value() const& { return std::get<0>(v_); }
    T&& value() && { return std::get<0>(std::move(v_)); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    const FileError& error() const { return std::get<1>(v_); }

  private:
    std::variant<T, FileError> v_;
};

// The value of an operation that has nothing to return but may fail.
struct Done {};

} // namespace dataformats
