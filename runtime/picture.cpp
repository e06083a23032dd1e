#include "picture.h"

#include "design.h"
#include "picture_format.h"

#include <QFile>
#include <QPainter>
#include <QRegularExpression>
#include <QResource>
#ifdef CIFRELLA_SVG
#include <QSvgRenderer>
#endif
#include <QXmlStreamReader>
#include <QtEndian>

#include <cmath>
#include <cstring>
#include <stdexcept>

namespace runtime {
namespace {

[[noreturn]] void unreadable(const QString& resource)
{
    throw std::runtime_error("cannot read picture " + resource.toStdString());
}

QString renderPath(const QString& vector, int ratio)
{
    QString base = vector;
    if (base.endsWith(QLatin1String(".svg")))
        base.chop(4);
    return ratio == 1 ? base + QLatin1String(".argb") : base + QStringLiteral("@%1x.argb").arg(ratio);
}

struct Render {
    QImage image;
    QSizeF viewBox;
};

Render readRenderFile(const QString& path, int ratio)
{
    if constexpr (Q_BYTE_ORDER != Q_LITTLE_ENDIAN)
        return {};
    const QResource resource(path);
    if (!resource.isValid() || resource.compressionAlgorithm() != QResource::NoCompression
        || resource.size() < kRenderHeaderSize)
        return {};
    const uchar* data = resource.data();
    auto number = [data](int i) { return qFromLittleEndian<quint32>(data + 4 + 4 * i); };
    const int width = int(number(0)), height = int(number(1));
    if (std::memcmp(data, kRenderTag, 4) != 0 || int(number(4)) != ratio
        || resource.size() != kRenderHeaderSize + qint64(width) * height * 4)
        unreadable(resource.fileName());
    QImage image(data + kRenderHeaderSize, width, height, width * 4, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    return {image, QSizeF(number(2), number(3))};
}

// A build-time render, used in place without copying its pixels; a null
// image when there is none for this ratio.
Render readRender(const QString& vector, int ratio)
{
    return readRenderFile(renderPath(vector, ratio), ratio);
}

QSizeF viewBoxOf(const QString& vector)
{
    QFile file(vector);
    if (!file.open(QIODevice::ReadOnly))
        unreadable(vector);
    QXmlStreamReader xml(&file);
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("svg")) {
            const auto box = xml.attributes().value(QLatin1String("viewBox")).split(u' ', Qt::SkipEmptyParts);
            if (box.size() == 4)
                return QSizeF(box[2].toDouble(), box[3].toDouble());
            break;
        }
    }
    unreadable(vector);
}

#ifdef CIFRELLA_SVG
// Drawn from the vector source by the SVG library the program links, used
// only when a picture is needed at a ratio without a render (no image
// plugin is asked for, so none can be missing). The renderer fills the
// whole image it is given; the view box is widened to
// the whole pixels the picture covers, so that the drawing keeps its
// natural size exactly and only transparent space is added.
QImage renderVector(const QString& vector, QSizeF natural, qreal ratio)
{
    QFile file(vector);
    if (!file.open(QIODevice::ReadOnly))
        unreadable(vector);
    QByteArray svg = file.readAll();
    const QSize pixels(int(std::ceil(natural.width() * ratio)), int(std::ceil(natural.height() * ratio)));
    const qsizetype start = svg.indexOf("<svg"), end = svg.indexOf('>', start);
    if (start < 0 || end < 0)
        unreadable(vector);
    QString tag = QString::fromUtf8(svg.mid(start, end - start));
    auto set = [&tag](const char* attribute, const QString& value) {
        const QRegularExpression old(QStringLiteral("\\b%1=\"[^\"]*\"").arg(QLatin1String(attribute)));
        tag.replace(old, QStringLiteral("%1=\"%2\"").arg(QLatin1String(attribute), value));
    };
    const double w = pixels.width() / ratio, h = pixels.height() / ratio;
    set("width", QString::number(w, 'g', 17));
    set("height", QString::number(h, 'g', 17));
    set("viewBox", QStringLiteral("0 0 %1 %2").arg(w * kTwipsPerPixel, 0, 'g', 17).arg(h * kTwipsPerPixel, 0, 'g', 17));
    svg.replace(start, end - start, tag.toUtf8());

    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        unreadable(vector);
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        unreadable(vector);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(pixels)));
    painter.end();
    image.setDevicePixelRatio(ratio);
    return image;
}
#else
// Without an SVG library (the Windows build) a ratio without a render gets
// the finer of the two renders, smoothly scaled to the whole pixels the
// picture covers.
QImage renderVector(const QString& vector, QSizeF natural, qreal ratio)
{
    const int from = ratio > 1 ? 2 : 1;
    const Render render = readRender(vector, from);
    if (render.image.isNull())
        unreadable(vector);
    const QSize pixels(int(std::ceil(natural.width() * ratio)), int(std::ceil(natural.height() * ratio)));
    QImage image = render.image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image.setDevicePixelRatio(ratio);
    return image;
}
#endif

QImage imageFor(const QString& vector, QSizeF natural, qreal ratio)
{
    for (int whole : {1, 2}) {
        if (ratio == whole) {
            Render render = readRender(vector, whole);
            if (!render.image.isNull())
                return render.image;
        }
    }
    return renderVector(vector, natural, ratio);
}

} // namespace

QImage readPixels(const QString& resource)
{
    QImage image = readRenderFile(resource, 1).image;
    if (image.isNull())
        unreadable(resource);
    return image;
}

Picture::Picture(const QString& vectorResource, qreal devicePixelRatio)
    : vector_(vectorResource)
{
    Render render = readRender(vector_, 1);
    natural_ = (render.image.isNull() ? viewBoxOf(vector_) : render.viewBox) / kTwipsPerPixel;
    image_ = devicePixelRatio == 1 && !render.image.isNull() ? render.image
                                                              : imageFor(vector_, natural_, devicePixelRatio);
}

const QImage& Picture::image(qreal devicePixelRatio) const
{
    if (!isNull() && image_.devicePixelRatio() != devicePixelRatio)
        image_ = imageFor(vector_, natural_, devicePixelRatio);
    return image_;
}

} // namespace runtime
