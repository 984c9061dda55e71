// What the program does from its start until the main window is on the screen,
// then quits: timed from outside by startup_bench. Offscreen unless
// QT_QPA_PLATFORM says otherwise (the benchmark under Xvfb sets "xcb").
#include "app/startup.h"
#include "bench/window_shown.h"
#include "ui/main_dialog.h"
#include "ui/message_boxes.h"

#include <cstdlib>

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    tp::WidgetMessageBoxes boxes;
    if (!tp::StartNetworking()) return 1;
    tp::CMainDialog dialog(boxes);
    QuitWhenPainted quit;
    dialog.installEventFilter(&quit);
    dialog.show();
    return QApplication::exec();
}
