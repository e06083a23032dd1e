#include "picture.h"

#include "design.h"

#include <QPainter>
#include <QSvgRenderer>

#include <cmath>
#include <stdexcept>

namespace runtime {
namespace {

QPixmap render(QSvgRenderer& renderer, QSizeF natural, qreal devicePixelRatio)
{
    const QSizeF device = natural * devicePixelRatio;
    QPixmap pixmap(QSize(int(std::ceil(device.width())), int(std::ceil(device.height()))));
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(QPointF(0, 0), device));
    }
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

} // namespace

Picture::Picture(const QString& resource, qreal devicePixelRatio) : resource_(resource)
{
    // Parsed once and rendered at once; the drawing is read again only if the
    // window moves to a screen of another pixel ratio.
    QSvgRenderer renderer(resource_);
    if (!renderer.isValid())
        throw std::runtime_error("cannot read picture " + resource_.toStdString());
    natural_ = renderer.viewBoxF().size() / kTwipsPerPixel;
    cache_ = render(renderer, natural_, devicePixelRatio);
}

const QPixmap& Picture::pixmap(qreal devicePixelRatio) const
{
    if (isNull() || cache_.devicePixelRatio() == devicePixelRatio)
        return cache_;
    QSvgRenderer renderer(resource_);
    cache_ = render(renderer, natural_, devicePixelRatio);
    return cache_;
}

} // namespace runtime
