// Draws the main window offscreen into a PNG file, for the README:
//   tidepost_window_shot OUT.png [SCALE]
// Uses the data folder of TIDEPOST_HOME like the program.
#include "ui/main_dialog.h"
#include "ui/message_boxes.h"

#include <QApplication>
#include <QFileInfo>
#include <QPixmap>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: tidepost_window_shot OUT.png [SCALE]\n", stderr);
        return 64;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (argc > 2) ::setenv("QT_SCALE_FACTOR", argv[2], 1);
    QApplication application(argc, argv);
    // The window moves into the data folder when it reads its settings.
    const QString out = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    tp::WidgetMessageBoxes boxes;
    tp::CMainDialog dialog(boxes);
    dialog.show();
    QApplication::processEvents();
    dialog.SetStatus("Download successfully completed (total web content size is 18.4 KB).");
    dialog.SetProgressPosition(7);
    QApplication::processEvents();
    const QPixmap shot = dialog.grab();
    if (!shot.save(out, "PNG")) {
        std::fprintf(stderr, "cannot write %s (%dx%d)\n", argv[1], shot.width(), shot.height());
        return 1;
    }
    return 0;
}
