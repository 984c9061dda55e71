#include "ui/hot_static.h"

#include "ui/message_boxes.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

namespace tp {

CHotStatic::CHotStatic(const QString& text, MessageBoxes& boxes, QWidget* parent)
    : QLabel(text, parent), boxes_(boxes) {
    QFont linkFont = font();
    linkFont.setUnderline(true);
    setFont(linkFont);
    setTextFormat(Qt::PlainText);
}

QColor CHotStatic::TextColor() const {
    if (hover_) return hoverColor_;
    return visited_ ? visitedColor_ : linkColor_;
}

void CHotStatic::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(TextColor());
    painter.drawText(contentsRect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text());
}

// Enter and leave come once per crossing, so the label repaints once each way
// however the mouse moves in between.
void CHotStatic::enterEvent(QEnterEvent* event) {
    QLabel::enterEvent(event);
    if (hover_) return;
    hover_ = true;
    update();
}

void CHotStatic::leaveEvent(QEvent* event) {
    QLabel::leaveEvent(event);
    if (!hover_) return;
    hover_ = false;
    update();
}

void CHotStatic::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) Open();
    QLabel::mouseReleaseEvent(event);
}

void CHotStatic::Open() {
    if (address_.isEmpty()) address_ = text();
    if (!QDesktopServices::openUrl(QUrl::fromUserInput(address_))) {
        boxes_.Beep();
        return;
    }
    visited_ = true;
    update();
}

}  // namespace tp
