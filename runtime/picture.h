#pragma once

#include <QPixmap>
#include <QSizeF>
#include <QString>

namespace runtime {

// A vector picture drawn at its natural size. The drawings keep their
// view box in twips, so the natural size in device-independent pixels is
// the view box divided by 15.
class Picture {
public:
    Picture() = default;
    Picture(const QString& resource, qreal devicePixelRatio);

    bool isNull() const { return resource_.isEmpty(); }
    QSizeF naturalSize() const { return natural_; }

    // The picture rendered for the given device pixel ratio.
    const QPixmap& pixmap(qreal devicePixelRatio) const;

private:
    QString resource_;
    QSizeF natural_;
    mutable QPixmap cache_;
};

} // namespace runtime
