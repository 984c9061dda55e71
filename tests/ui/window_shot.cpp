// Draws a window offscreen into a PNG file, for the README:
//   tidepost_window_shot OUT.png [SCALE] [main|about|links]
// Uses the data folder of TIDEPOST_HOME like the program.
#include "ui/about_dialog.h"
#include "ui/link_browser_dialog.h"
#include "ui/main_dialog.h"
#include "ui/message_boxes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPixmap>
#include <QWebEngineView>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

// The page view paints a little after its page has loaded.
void ShowLoadedPage(QDialog& dialog) {
    auto* view = dialog.findChild<QWebEngineView*>();
    bool loaded = false;
    QObject::connect(view, &QWebEngineView::loadFinished, [&] { loaded = true; });
    QElapsedTimer clock;
    clock.start();
    while (!loaded && clock.elapsed() < 20000) QApplication::processEvents(QEventLoop::AllEvents, 50);
    clock.restart();
    while (clock.elapsed() < 1500) QApplication::processEvents(QEventLoop::AllEvents, 50);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: tidepost_window_shot OUT.png [SCALE] [main|about|links]\n", stderr);
        return 64;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu", 0);
    if (argc > 2) ::setenv("QT_SCALE_FACTOR", argv[2], 1);
    const std::string window = argc > 3 ? argv[3] : "main";
    QApplication application(argc, argv);
    // The window moves into the data folder when it reads its settings.
    const QString out = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    tp::WidgetMessageBoxes boxes;
    tp::CMainDialog mainDialog(boxes);
    std::unique_ptr<QDialog> shown;
    if (window == "about") {
        shown = std::make_unique<tp::CAboutDialog>(boxes);
    } else if (window == "links") {
        shown = std::make_unique<tp::CLinkBrowserDialog>(boxes);
    } else if (window != "main") {
        std::fprintf(stderr, "unknown window: %s\n", window.c_str());
        return 64;
    }
    QDialog& dialog = shown ? *shown : mainDialog;
    dialog.show();
    QApplication::processEvents();
    if (window == "main") {
        mainDialog.SetStatus("Download successfully completed (total web content size is 18.4 KB).");
        mainDialog.SetProgressPosition(7);
    } else if (window == "links") {
        ShowLoadedPage(dialog);
    }
    QApplication::processEvents();
    const QPixmap shot = dialog.grab();
    if (!shot.save(out, "PNG")) {
        std::fprintf(stderr, "cannot write %s (%dx%d)\n", argv[1], shot.width(), shot.height());
        return 1;
    }
    return 0;
}
