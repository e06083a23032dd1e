// Renders the program's pictures when it is built, so that the program shows
// them at device pixel ratios 1 and 2 without drawing them at start.
//
//   render_pictures svg PICTURE.svg OUT.argb OUT@2x.argb
//   render_pictures png ICON.png OUT.argb

#include "design.h"
#include "picture_format.h"
#include "svg_render.h"

#include <QFile>
#include <QGuiApplication>
#include <QSvgRenderer>
#include <QtEndian>

#include <cstdio>

namespace {

bool write(const QImage& image, QSizeF viewBox, int ratio, const QString& path)
{
    if (image.isNull())
        return false;
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QByteArray out(runtime::kRenderTag, sizeof runtime::kRenderTag);
    for (quint32 n : {quint32(pixels.width()), quint32(pixels.height()), quint32(viewBox.width()),
             quint32(viewBox.height()), quint32(ratio)}) {
        const quint32 le = qToLittleEndian(n);
        out.append(reinterpret_cast<const char*>(&le), 4);
    }
    for (int y = 0; y < pixels.height(); ++y)
        for (int x = 0; x < pixels.width(); ++x) {
            const quint32 le = qToLittleEndian(quint32(reinterpret_cast<const QRgb*>(pixels.constScanLine(y))[x]));
            out.append(reinterpret_cast<const char*>(&le), 4);
        }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size();
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    bool ok = false;
    if (args.size() == 5 && args[1] == "svg") {
        const QSizeF viewBox = QSvgRenderer(args[2]).viewBoxF().size();
        ok = write(renderSvg(args[2], 1), viewBox, 1, args[3]) && write(renderSvg(args[2], 2), viewBox, 2, args[4]);
    } else if (args.size() == 4 && args[1] == "png") {
        const QImage icon(args[2], "PNG");
        ok = write(icon, QSizeF(icon.size()) * runtime::kTwipsPerPixel, 1, args[3]);
    }
    if (!ok)
        std::fprintf(stderr, "render_pictures: cannot render %s\n", qPrintable(args.mid(1).join(' ')));
    return ok ? 0 : 1;
}
