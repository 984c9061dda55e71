#include "ui/dialog_units.h"

#include <QFontMetrics>
#include <QWidget>

namespace tp {

QSize DialogUnitsToPixels(const QWidget& widget, int width, int height) {
    const QFontMetrics metrics = widget.fontMetrics();
    // The average width of the Latin letters, as the platform's dialog units take it.
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int averageWidth = (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
    return {width * averageWidth / 4, height * metrics.height() / 8};
}

}  // namespace tp
