#include "fonts.h"

#include "text.h"

#include <QFontDatabase>
#include <QHash>

#include <cmath>

namespace runtime {
namespace {

QHash<QString, QString>& drawnFaces()
{
    static QHash<QString, QString> faces;
    return faces;
}

} // namespace

void useFonts(std::span<const FontSubstitute> substitutes)
{
    QHash<QString, QString>& faces = drawnFaces();
    if (!faces.isEmpty() || substitutes.empty())
        return;
    const QStringList installed = QFontDatabase::families();
    for (const FontSubstitute& s : substitutes) {
        const QString face = qs(s.face), family = qs(s.family);
        if (installed.contains(face)) {
            faces.insert(face, face);
            continue;
        }
        if (!installed.contains(family))
            for (std::string_view file : s.files)
                QFontDatabase::addApplicationFont(qs(file));
        faces.insert(face, family);
    }
}

QString drawnFamily(std::string_view face)
{
    const QString designed = qs(face);
    return drawnFaces().value(designed, designed);
}

QFont toFont(const FontDesign& design)
{
    QFont font(drawnFamily(design.face));
    font.setPixelSize(static_cast<int>(std::lround(design.points * 96.0 / 72.0)));
    font.setWeight(QFont::Weight(design.weight));
    font.setItalic(design.italic);
    return font;
}

} // namespace runtime
