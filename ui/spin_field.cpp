#include "ui/spin_field.h"

#include <QLineEdit>

#include <algorithm>
#include <limits>

namespace tp {

CSpinField::CSpinField(int low, int high, QWidget* parent) : QSpinBox(parent), low_(low), high_(high) {
    // Wide enough for three digits, not for the extreme values the range allows.
    setRange(0, std::max(high, 999));
    hint_ = QSpinBox::sizeHint();
    setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    setValue(low);
    lineEdit()->setReadOnly(true);
    setAlignment(Qt::AlignRight);
    setAccelerated(false);
}

CSpinField::CSpinField(RangedField field, QWidget* parent)
    : CSpinField(LimitOf(field).low, LimitOf(field).high, parent) {}

void CSpinField::stepBy(int steps) {
    const long long next = static_cast<long long>(value()) + steps;
    setValue(static_cast<int>(std::clamp<long long>(next, low_, high_)));
}

QAbstractSpinBox::StepEnabled CSpinField::stepEnabled() const {
    StepEnabled enabled = StepNone;
    if (value() < high_) enabled |= StepUpEnabled;
    if (value() > low_) enabled |= StepDownEnabled;
    return enabled;
}

}  // namespace tp
