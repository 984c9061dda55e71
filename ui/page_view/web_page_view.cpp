// The page view plugin: the link browser's pages shown by the web engine.
#include "ui/page_view_factory.h"

#include <QObject>
#include <QWebEngineView>

#include <unistd.h>

namespace tp {
namespace {

// The web engine's sandbox cannot start for root; for anyone else it stays on.
void AllowWebEngineForRoot() {
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

}  // namespace

class WebPageViewFactory : public QObject, public PageViewFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID TIDEPOST_PAGE_VIEW_FACTORY_IID)
    Q_INTERFACES(tp::PageViewFactory)
public:
    QWidget* NewPageView(QWidget* parent) override {
        AllowWebEngineForRoot();
        return new QWebEngineView(parent);
    }
};

}  // namespace tp

#include "web_page_view.moc"
