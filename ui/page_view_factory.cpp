#include "ui/page_view_factory.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace tp {

QString FindPageViewPlugin() {
    const QString program = QCoreApplication::applicationDirPath();
    const QString name = QStringLiteral(TIDEPOST_PAGE_VIEW_FILE);
    for (const QString& folder : {program, program + QStringLiteral("/.."),
                                  program + QStringLiteral("/" TIDEPOST_PAGE_VIEW_INSTALLED_FOLDER)}) {
        const QFileInfo file(folder + QLatin1Char('/') + name);
        if (file.isFile()) return file.canonicalFilePath();
    }
    return {};
}

}  // namespace tp
