#include "ui/input_blocker.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace tp {
namespace {

bool IsUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

}  // namespace

InputBlocker::InputBlocker(QWidget& window) : window_(window) {}

InputBlocker::~InputBlocker() { SetBlocking(false); }

void InputBlocker::SetBlocking(bool blocking) {
    if (blocking == blocking_) return;
    blocking_ = blocking;
    if (blocking_) {
        qApp->installEventFilter(this);
    } else {
        qApp->removeEventFilter(this);
    }
}

bool InputBlocker::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType()) return false;
    if (static_cast<QWidget*>(watched)->window() != &window_) return false;
    if (event->type() == QEvent::Close) {
        event->ignore();
        return true;
    }
    return IsUserInput(event->type());
}

}  // namespace tp
