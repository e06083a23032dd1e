#include "svg_render.h"

#include "design.h"

#include <QPainter>
#include <QSvgRenderer>

#include <cmath>

QImage renderSvg(const QString& file, qreal ratio)
{
    QSvgRenderer renderer(file);
    if (!renderer.isValid())
        return {};
    const QSizeF device = renderer.viewBoxF().size() / double(runtime::kTwipsPerPixel) * ratio;
    QImage image(QSize(int(std::ceil(device.width())), int(std::ceil(device.height()))),
        QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(QPointF(0, 0), device));
    }
    image.setDevicePixelRatio(ratio);
    return image;
}
