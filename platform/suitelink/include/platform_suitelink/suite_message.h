#pragma once
// The messages the two programs send each other over the suite link, one
// UTF-8 line each:
//   "restore"            show the running instance's main window
//   "result KIND PATH"   a finished result for the viewer (KIND as in the
//                        profile hand-off: positive new document, negative
//                        add to the open one); PATH is the rest of the line
//   "open PATH"          open a file
// The receiver answers every line with "ok" or, for a line it cannot read,
// "error".
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace platform {

struct SuiteMessage {
    enum class Type { Restore, Result, Open };

    Type type = Type::Restore;
    int kind = 0; // Result only
    QString path; // Result and Open

    static SuiteMessage Restore() { return {}; }
    static SuiteMessage Result(int kind, QString path) {
        return {Type::Result, kind, std::move(path)};
    }
    static SuiteMessage Open(QString path) { return {Type::Open, 0, std::move(path)}; }

    bool operator==(const SuiteMessage&) const = default;
};

// Longest line a receiver reads; a path is at most a few kilobytes.
inline constexpr qsizetype kMaxSuiteLineBytes = 64 * 1024;

// The message as a line ending in "\n"; nullopt when it cannot be one line:
// an empty path, a path with a line break or NUL, or too long.
std::optional<QByteArray> EncodeSuiteLine(const SuiteMessage& message);

// Reads one line without its "\n" (a trailing "\r" is accepted); nullopt
// for anything that is not exactly one of the three messages in valid UTF-8.
std::optional<SuiteMessage> ParseSuiteLine(QByteArrayView line);

} // namespace platform
