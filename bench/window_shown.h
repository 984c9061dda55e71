// Quits the application once a window has been painted for the first time:
// what the start-up probes count as "shown", offscreen or on an X server.
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
            QTimer::singleShot(0, qApp, &QApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool quitting_ = false;
};
