// Draws one of the settings dialogs offscreen into a PNG file, for the README:
//   tidepost_dialog_shot more-downloads|general-settings OUT.png [SCALE]
// Uses the data folder of TIDEPOST_HOME like the program.
#include "app/globals.h"
#include "settings/settings_model.h"
#include "ui/general_settings_dialog.h"
#include "ui/message_boxes.h"
#include "ui/more_downloads_dialog.h"

#include <QApplication>
#include <QFileInfo>
#include <QPixmap>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

int main(int argc, char** argv) {
    const std::string which = argc > 1 ? argv[1] : "";
    if (argc < 3 || (which != "more-downloads" && which != "general-settings")) {
        std::fputs("usage: tidepost_dialog_shot more-downloads|general-settings OUT.png [SCALE]\n", stderr);
        return 64;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (argc > 3) ::setenv("QT_SCALE_FACTOR", argv[3], 1);
    QApplication application(argc, argv);
    // Reading the settings moves into the data folder.
    const QString out = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
    tp::Settings settings;
    tp::ReadSettings(settings);
    tp::WidgetMessageBoxes boxes;
    std::unique_ptr<QDialog> dialog;
    if (which == "more-downloads") {
        dialog = std::make_unique<tp::CMoreDownloadsDialog>(boxes, settings);
    } else {
        dialog = std::make_unique<tp::CGeneralSettingsDialog>(boxes, settings.general);
    }
    dialog->show();
    QApplication::processEvents();
    const QPixmap shot = dialog->grab();
    if (!shot.save(out, "PNG")) {
        std::fprintf(stderr, "cannot write %s (%dx%d)\n", argv[2], shot.width(), shot.height());
        return 1;
    }
    return 0;
}
