// A number field changed only with its spin buttons or the arrow keys. It shows
// whatever value it is given, even one outside its bounds (a hand-edited
// settings file), so that collecting the values can refuse it with the range
// message instead of silently changing it; stepping brings it into bounds.
#pragma once

#include "settings/number_limits.h"

#include <QSpinBox>

namespace tp {

class CSpinField : public QSpinBox {
    Q_OBJECT
public:
    CSpinField(int low, int high, QWidget* parent = nullptr);
    // With the bounds the settings give field.
    explicit CSpinField(RangedField field, QWidget* parent = nullptr);

    int Low() const { return low_; }
    int High() const { return high_; }

    void stepBy(int steps) override;
    QSize sizeHint() const override { return hint_; }
    QSize minimumSizeHint() const override { return hint_; }

protected:
    StepEnabled stepEnabled() const override;

private:
    int low_;
    int high_;
    QSize hint_;
};

}  // namespace tp
