// Draws the page customization dialog, the web address dialog and the source
// workbench offscreen into PNG files, for the documentation:
//   tidepost_customization_shot OUT_FOLDER [SCALE]
// Uses the data folder of TIDEPOST_HOME like the program. The workbench
// checks a page of the sample provider, which it starts on 127.0.0.1, with
// the address pointed at it as an unsaved text (the settings file is left as
// it is).
#include "app/paths.h"
#include "check/source_check.h"
#include "settings/custom_sources.h"
#include "settings/settings_model.h"
#include "tests/support/provider_server.h"
#include "tools/sample_provider/sample_provider.h"
#include "ui/customization_dialog.h"
#include "ui/file_pickers.h"
#include "ui/message_boxes.h"
#include "ui/source_workbench_dialog.h"
#include "ui/web_address_dialog.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>

namespace {

bool Save(QWidget& dialog, const QString& path) {
    dialog.show();
    QApplication::processEvents();
    if (dialog.grab().save(path, "PNG")) return true;
    std::fprintf(stderr, "cannot write %s\n", path.toLocal8Bit().constData());
    return false;
}

// Runs start, then the events until the workbench shows a check (at most 20 s).
bool AwaitCheck(tp::CSourceWorkbenchDialog& workbench, const std::function<void()>& start) {
    QEventLoop loop;
    bool shown = false;
    QObject::connect(&workbench, &tp::CSourceWorkbenchDialog::CheckShown, &loop, [&] {
        shown = true;
        loop.quit();
    });
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    start();
    if (workbench.IsChecking()) loop.exec();
    if (!shown) std::fputs("the workbench showed no check\n", stderr);
    return shown;
}

// The address of customization number at the sample provider listening on port.
std::string ProviderAddress(int port, int number) {
    std::istringstream lines(tp::sample::CustomizationLines(port));
    const std::string key = tp::CustomKey(number) + "=";
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with(key)) return line.substr(key.size());
    }
    return {};
}

// Weather (UK) at the sample provider, with its first tag typed as it no
// longer stands in the page: checked, and the first suggestion taken.
bool SaveWorkbench(const QString& path) {
    tp::test::ProviderServer provider;
    if (provider.port() == 0) {
        std::fprintf(stderr, "sample provider: %s\n", provider.error().c_str());
        return false;
    }
    tp::Settings settings;
    tp::ReadSettings(settings);
    tp::SourceEntry source = tp::LoadTopicSources("Weather").at(1);
    source.addressText = ProviderAddress(provider.port(), source.addressNumber);
    source.tagTexts[0] = "TODAY";
    tp::CSourceWorkbenchDialog workbench(settings, source, nullptr);
    workbench.show();
    auto* check = workbench.findChild<QPushButton*>(QStringLiteral("checkPushButton"));
    if (!AwaitCheck(workbench, [check] { check->click(); })) return false;
    auto* use = workbench.findChild<QPushButton*>(QStringLiteral("use1PushButton"));
    if (!use) {
        std::fputs("the check suggested no tag\n", stderr);
        return false;
    }
    return AwaitCheck(workbench, [use] { use->click(); }) && Save(workbench, path);
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

    tp::CCustomizationDialog page("Weather", tp::Settings{}, boxes, pickers, nullptr);
    page.SetFileNames("weather.txt", "weather.xmt");
    const std::vector<tp::SourceEntry> sources = tp::LoadTopicSources("Weather");
    for (const tp::SourceEntry& source : sources) page.AddSource(source);

    tp::CWebAddressDialog address(boxes, tp::Settings{}, nullptr);
    address.setWindowTitle(QStringLiteral("%1 Web addresses and tags").arg(QString::fromStdString(sources[1].label)));
    address.SetSource(sources[1]);

    const bool saved = Save(page, out.filePath(QStringLiteral("customization-dialog%1.png").arg(suffix))) &&
                       Save(address, out.filePath(QStringLiteral("web-address-dialog%1.png").arg(suffix))) &&
                       SaveWorkbench(out.filePath(QStringLiteral("source-workbench%1.png").arg(suffix)));
    return saved ? 0 : 1;
}
