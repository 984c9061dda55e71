// The yardstick of startup_bench: a Qt Widgets window with one label, started
// and shown the same way as the main window's probe.
#include "bench/window_shown.h"

#include <QLabel>

#include <cstdlib>

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    QLabel window(QStringLiteral("Tidepost"));
    QuitWhenPainted quit;
    window.installEventFilter(&quit);
    window.show();
    return QApplication::exec();
}
