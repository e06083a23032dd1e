#include "picture.h"

#include "design.h"

#include <QPainter>
#include <QSvgRenderer>

#include <cmath>
#include <stdexcept>

namespace runtime {

Picture::Picture(const QString& resource)
    : resource_(resource)
{
    QSvgRenderer renderer(resource_);
    if (!renderer.isValid())
        throw std::runtime_error("cannot read picture " + resource_.toStdString());
    natural_ = renderer.viewBoxF().size() / kTwipsPerPixel;
}

const QPixmap& Picture::pixmap(qreal devicePixelRatio) const
{
    if (isNull() || (!cache_.isNull() && cache_.devicePixelRatio() == devicePixelRatio))
        return cache_;
    const QSizeF device = natural_ * devicePixelRatio;
    QPixmap pixmap(QSize(int(std::ceil(device.width())), int(std::ceil(device.height()))));
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        QSvgRenderer(resource_).render(&painter, QRectF(QPointF(0, 0), device));
    }
    pixmap.setDevicePixelRatio(devicePixelRatio);
    cache_ = pixmap;
    return cache_;
}

} // namespace runtime
