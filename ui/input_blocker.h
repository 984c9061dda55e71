// While a download runs, the main window keeps painting but takes no input:
// no clicks, keys or closing reach it. Message boxes and other windows work.
#pragma once

#include <QObject>

class QWidget;

namespace tp {

class InputBlocker : public QObject {
    Q_OBJECT
public:
    explicit InputBlocker(QWidget& window);
    ~InputBlocker() override;

    void SetBlocking(bool blocking);
    bool IsBlocking() const { return blocking_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
    bool blocking_ = false;
};

}  // namespace tp
