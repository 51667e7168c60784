#include "platform_qt/fonts.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <algorithm>
#include <cmath>

std::vector<std::string> GetAvailableFontName() {
    std::vector<std::string> names;
    for (const QString& family : QFontDatabase::families())
        names.push_back(family.toStdString());
    // The faces documents name are always offered, mapped as above.
    for (const char* face : {"Arial", "Times New Roman", "Courier New", "Symbol"})
        if (std::find(names.begin(), names.end(), face) == names.end())
            names.push_back(face);
    std::sort(names.begin(), names.end());
    return names;
}

namespace platform {

namespace {
QString Lower(const std::string& s) {
    return QString::fromStdString(s).trimmed().toLower();
}

// Cell height of a family per pixel of em size, measured once.
double CellRatio(const QString& family) {
    static QMutex mutex;
    static QHash<QString, double> cache;
    QMutexLocker lock(&mutex);
    auto it = cache.find(family);
    if (it != cache.end())
        return *it;
    QFont f(family);
    f.setPixelSize(1000);
    QFontMetricsF fm(f);
    double ratio = fm.height() / 1000.0;
    if (!(ratio > 0.5 && ratio < 3.0))
        ratio = 1.15;
    cache.insert(family, ratio);
    return ratio;
}
} // namespace

bool IsSymbolFace(const std::string& face) {
    return Lower(face) == "symbol";
}

QString FontFamilyFor(const std::string& face) {
    const QString f = Lower(face);
    if (f == "arial" || f == "helvetica" || f == "ms sans serif" || f == "system" || f.isEmpty())
        return QStringLiteral("Liberation Sans");
    if (f == "times new roman" || f == "times" || f == "symbol")
        return QStringLiteral("Liberation Serif");
    if (f == "courier new" || f == "courier")
        return QStringLiteral("Liberation Mono");
    return QString::fromStdString(face);
}

QString SymbolToUnicode(const std::string& text) {
    // Latin letter -> Greek letter of the Symbol face's layout.
    static const char16_t kLower[26] = {
        u'\u03B1', u'\u03B2', u'\u03C7', u'\u03B4', u'\u03B5', u'\u03C6', u'\u03B3',
        u'\u03B7', u'\u03B9', u'\u03D5', u'\u03BA', u'\u03BB', u'\u03BC', u'\u03BD',
        u'\u03BF', u'\u03C0', u'\u03B8', u'\u03C1', u'\u03C3', u'\u03C4', u'\u03C5',
        u'\u03D6', u'\u03C9', u'\u03BE', u'\u03C8', u'\u03B6'};
    static const char16_t kUpper[26] = {
        u'\u0391', u'\u0392', u'\u03A7', u'\u0394', u'\u0395', u'\u03A6', u'\u0393',
        u'\u0397', u'\u0399', u'\u03D1', u'\u039A', u'\u039B', u'\u039C', u'\u039D',
        u'\u039F', u'\u03A0', u'\u0398', u'\u03A1', u'\u03A3', u'\u03A4', u'\u03A5',
        u'\u03C2', u'\u03A9', u'\u039E', u'\u03A8', u'\u0396'};
    QString out;
    for (unsigned char c : text) {
        if (c >= 'a' && c <= 'z')
            out.append(QChar(kLower[c - 'a']));
        else if (c >= 'A' && c <= 'Z')
            out.append(QChar(kUpper[c - 'A']));
        else
            out.append(QChar(c));
    }
    // The curly phi is what texture papers print for the Euler angles.
    out.replace(QChar(u'\u03D5'), QChar(u'\u03C6'));
    return out;
}

QString DisplayText(const std::string& face, const std::string& text) {
    return IsSymbolFace(face) ? SymbolToUnicode(text) : QString::fromStdString(text);
}

QFont MakeQFont(const FontDesc& desc) {
    const QString family = FontFamilyFor(desc.face);
    QFont f(family);
    int px = 16;
    if (desc.height > 0)
        px = static_cast<int>(std::lround(desc.height / CellRatio(family)));
    else if (desc.height < 0)
        px = -desc.height;
    f.setPixelSize(std::max(1, px));
    f.setWeight(desc.weight >= 600 ? QFont::Bold : QFont::Normal);
    f.setItalic(desc.italic);
    f.setUnderline(desc.underline);
    f.setStrikeOut(desc.strikeOut);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

} // namespace platform
