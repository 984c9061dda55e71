// A picture chosen by number from the program's pictures, switchable at run
// time (the topic pictures, the about box's banner). Grey shades of a picture
// follow the palette's button colours, so it sits well on any theme.
#pragma once

#include <QLabel>

namespace tp {

class CBitmapStatic : public QLabel {
    Q_OBJECT
public:
    // size: the picture's size in device-independent pixels.
    explicit CBitmapStatic(QSize size, QWidget* parent = nullptr);

    // -1 keeps the current number; another number becomes the current one.
    // Then the current picture is loaded; with no current number nothing
    // happens, and a picture that fails to load leaves the control as it was.
    void SetBitmap(int number);
    int BitmapNumber() const { return number_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    QSize size_;
    int number_ = -1;
};

}  // namespace tp
