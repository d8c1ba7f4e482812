#include "flash/core/device_fonts.h"

#include <QFontDatabase>
#include <cmath>

namespace flash {
namespace {

// A face the system (or the application) has is taken as it is named;
// other names fall back on the three families by what they sound like.
QString deviceFamily(const QString& face, const DeviceFonts& fonts) {
    if (!face.isEmpty() && !face.startsWith(u'_'))
        for (const QString& family : QFontDatabase::families())
            if (family.compare(face, Qt::CaseInsensitive) == 0) return family;
    QString f = face.toLower();
    if (f == "_serif" || f.contains("times")) return fonts.serif;
    if (f == "_typewriter" || f.contains("courier") || f.contains("mono")) return fonts.typewriter;
    return fonts.sans;
}

}  // namespace

QFont deviceFont(const TextStyle& f, const DeviceFonts& fonts) {
    QFont font(deviceFamily(f.face, fonts));
    font.setPixelSize(std::max(1, int(std::lround(f.size * 20))));  // twips
    font.setBold(f.bold);
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

}  // namespace flash
