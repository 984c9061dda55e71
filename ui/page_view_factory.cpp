#include "ui/page_view_factory.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QOpenGLContext>
#include <QSurfaceFormat>

// QtGui's setter of the context QOpenGLContext::globalShareContext() returns
// (what Qt::AA_ShareOpenGLContexts makes at application start); exported by
// QtGui, declared only in its private headers.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);

namespace tp {

void ShareGraphicsContexts() {
    if (QOpenGLContext::globalShareContext() || QCoreApplication::testAttribute(Qt::AA_ShareOpenGLContexts)) return;
    auto* context = new QOpenGLContext(QCoreApplication::instance());
    context->setFormat(QSurfaceFormat::defaultFormat());
    if (context->create()) {
        qt_gl_set_global_share_context(context);
    } else {
        delete context;
    }
}

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
