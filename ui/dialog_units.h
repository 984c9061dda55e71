// Sizes given in dialog units (a quarter of the average character width, an
// eighth of the line height), so a dialog's natural size follows its font and
// the screen's scaling.
#pragma once

#include <QSize>

class QWidget;

namespace tp {

QSize DialogUnitsToPixels(const QWidget& widget, int width, int height);

}  // namespace tp
