// What the program does from its start until the main window is on the screen,
// then quits: timed from outside by startup_bench.
#include "app/startup.h"
#include "ui/main_dialog.h"
#include "ui/message_boxes.h"

#include <QApplication>
#include <QTimer>

#include <cstdlib>

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    tp::WidgetMessageBoxes boxes;
    if (!tp::StartNetworking()) return 1;
    tp::CMainDialog dialog(boxes);
    dialog.show();
    QTimer::singleShot(0, &application, &QApplication::quit);
    return QApplication::exec();
}
