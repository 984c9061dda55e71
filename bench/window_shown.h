// Quits the application once a window has been painted for the first time:
// what the start-up probes count as "shown", offscreen or on an X server.
// exit() leaves the event loop without closing the windows first (quit() would
// close them, and the main window would save its settings inside the timing).
#pragma once

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>

class QuitWhenPainted : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !quitting_) {
            quitting_ = true;
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool quitting_ = false;
};
