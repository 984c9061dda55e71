#include "ui/bitmap_static.h"

#include <QEvent>
#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace tp {
namespace {

// The pictures draw their face and shadow in these two greys.
constexpr char kFaceGrey[] = "#c0c0c0";
constexpr char kShadowGrey[] = "#808080";

}  // namespace

CBitmapStatic::CBitmapStatic(QSize size, QWidget* parent) : QLabel(parent), size_(size) {
    setFixedSize(size_);
}

void CBitmapStatic::SetBitmap(int number) {
    if (number != -1) number_ = number;
    if (number_ == -1) return;

    QFile file(QStringLiteral(":/pictures/%1.svg").arg(number_));
    if (!file.open(QIODevice::ReadOnly)) return;
    QByteArray svg = file.readAll();
    svg.replace(kFaceGrey, palette().color(QPalette::Button).name().toLatin1());
    svg.replace(kShadowGrey, palette().color(QPalette::Dark).name().toLatin1());
    QSvgRenderer renderer(svg);
    if (!renderer.isValid()) return;

    // Drawn at the screen's resolution so it stays sharp at any scaling.
    const qreal ratio = devicePixelRatioF();
    QPixmap pixmap(size_ * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size_)));
    painter.end();
    setPixmap(pixmap);
}

void CBitmapStatic::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) SetBitmap(-1);
}

}  // namespace tp
