#include "platform_suitelink/suite_message.h"

#include <QStringDecoder>

#include <charconv>

namespace platform {
namespace {

constexpr QByteArrayView kRestore = "restore";
constexpr QByteArrayView kResultPrefix = "result ";
constexpr QByteArrayView kOpenPrefix = "open ";

bool FitsOnOneLine(const QString& path) {
    return !path.isEmpty() && !path.contains(QLatin1Char('\n')) &&
           !path.contains(QLatin1Char('\r')) && !path.contains(QChar(0));
}

// Strict UTF-8: a line with invalid bytes is refused instead of being read
// with replacement characters, which would name a different file.
std::optional<QString> DecodePath(QByteArrayView bytes) {
    if (bytes.isEmpty() || bytes.contains('\0'))
        return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString path = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return path;
}

} // namespace

std::optional<QByteArray> EncodeSuiteLine(const SuiteMessage& message) {
    QByteArray line;
    switch (message.type) {
    case SuiteMessage::Type::Restore:
        line = kRestore.toByteArray();
        break;
    case SuiteMessage::Type::Result:
        if (!FitsOnOneLine(message.path))
            return std::nullopt;
        line = kResultPrefix.toByteArray() + QByteArray::number(message.kind) + ' ' +
               message.path.toUtf8();
        break;
    case SuiteMessage::Type::Open:
        if (!FitsOnOneLine(message.path))
            return std::nullopt;
        line = kOpenPrefix.toByteArray() + message.path.toUtf8();
        break;
    }
    if (line.size() >= kMaxSuiteLineBytes)
        return std::nullopt;
    return line + '\n';
}

std::optional<SuiteMessage> ParseSuiteLine(QByteArrayView line) {
    if (line.endsWith('\r'))
        line.chop(1);
    if (line == kRestore)
        return SuiteMessage::Restore();
    if (line.startsWith(kOpenPrefix)) {
        auto path = DecodePath(line.sliced(kOpenPrefix.size()));
        if (!path)
            return std::nullopt;
        return SuiteMessage::Open(std::move(*path));
    }
    if (line.startsWith(kResultPrefix)) {
        const QByteArrayView rest = line.sliced(kResultPrefix.size());
        const qsizetype space = rest.indexOf(' ');
        if (space <= 0)
            return std::nullopt;
        // from_chars takes an optional '-' and digits only, and reports
        // values outside int instead of wrapping them.
        int kind = 0;
        const char* first = rest.data();
        const char* last = first + space;
        const auto [end, error] = std::from_chars(first, last, kind);
        if (error != std::errc() || end != last)
            return std::nullopt;
        auto path = DecodePath(rest.sliced(space + 1));
        if (!path)
            return std::nullopt;
        return SuiteMessage::Result(kind, std::move(*path));
    }
    return std::nullopt;
}

} // namespace platform
