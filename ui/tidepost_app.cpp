#include "ui/tidepost_app.h"

#include "app/globals.h"
#include "app/paths.h"
#include "app/startup.h"
#include "resources/string_table.h"
#include "ui/core_text.h"
#include "ui/dialog_kit.h"
#include "ui/main_dialog.h"
#include "ui/message_boxes.h"

#include <QApplication>

#include <cstdio>

namespace tp {

const char* GuiUsageText() {
    return "Usage: tidepost [/autorun] [--help] [--version] [Qt options]\n"
           "\n"
           "Opens the Tidepost window: choose the topics and their parameters, then\n"
           "Download writes one page per topic into the xml/ folder of the data folder\n"
           "(TIDEPOST_HOME, or the folder of this program).\n"
           "\n"
           "  /autorun    start a download as soon as the window is shown; with the\n"
           "              setting AutoExit the program closes after a completed run\n"
           "  --help      show this text\n"
           "  --version   show the version\n"
           "\n"
           "For runs without a window (cron, scripts) use tidepost-batch.\n";
}

int CTidepostApp::Run(int argc, char** argv) {
    std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            std::fputs(GuiUsageText(), stdout);
            return 0;
        }
        if (argument == "--version") {
            std::printf("%s\n", std::string(LoadStringResource(kVersionText)).c_str());
            return 0;
        }
    }

    // The link browser's web engine is loaded later, as a plugin, with the
    // shared graphics context it needs (ShareGraphicsContexts).
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tidepost"));
    QApplication::setDesktopFileName(QStringLiteral("tidepost"));
    WidgetMessageBoxes boxes;

    if (!PrepareDataFolder()) {
        boxes.Warn(nullptr, ProgramTitle(), QString::fromLocal8Bit(g_lastError));
        return 1;
    }
    if (!StartNetworking()) {
        boxes.Warn(nullptr, ProgramTitle(), FromCore(LoadStringResource(kSocketStartFailed)));
        return 1;
    }
    g_autoRun = DetectAutoRun(arguments);

    CMainDialog dialog(boxes);
    dialog.exec();
    return 0;
}

}  // namespace tp
