// Draws the page customization dialog and the web address dialog offscreen
// into PNG files, for the documentation:
//   tidepost_customization_shot OUT_FOLDER [SCALE]
// Uses the data folder of TIDEPOST_HOME like the program.
#include "app/paths.h"
#include "settings/custom_sources.h"
#include "ui/customization_dialog.h"
#include "ui/file_pickers.h"
#include "ui/message_boxes.h"
#include "ui/web_address_dialog.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>

#include <cstdio>
#include <cstdlib>

namespace {

bool Save(QWidget& dialog, const QString& path) {
    dialog.show();
    QApplication::processEvents();
    if (dialog.grab().save(path, "PNG")) return true;
    std::fprintf(stderr, "cannot write %s\n", path.toLocal8Bit().constData());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: tidepost_customization_shot OUT_FOLDER [SCALE]\n", stderr);
        return 64;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (argc > 2) ::setenv("QT_SCALE_FACTOR", argv[2], 1);
    QApplication application(argc, argv);
    // The data folder becomes the current folder: take the output folder first.
    const QDir out(QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[1])));
    const QString suffix = argc > 2 ? QStringLiteral("@%1x").arg(QString::fromLocal8Bit(argv[2])) : QString();
    tp::CreateDataFolders();
    tp::WidgetMessageBoxes boxes;
    tp::WidgetFilePickers pickers;

    tp::CCustomizationDialog page("Weather", boxes, pickers, nullptr);
    page.SetFileNames("weather.txt", "weather.xmt");
    const std::vector<tp::SourceEntry> sources = tp::LoadTopicSources("Weather");
    for (const tp::SourceEntry& source : sources) page.AddSource(source);

    tp::CWebAddressDialog address(boxes, nullptr);
    address.setWindowTitle(QStringLiteral("%1 Web addresses and tags").arg(QString::fromStdString(sources[1].label)));
    address.SetSource(sources[1]);

    const bool saved = Save(page, out.filePath(QStringLiteral("customization-dialog%1.png").arg(suffix))) &&
                       Save(address, out.filePath(QStringLiteral("web-address-dialog%1.png").arg(suffix)));
    return saved ? 0 : 1;
}
