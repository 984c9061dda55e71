// Takes the place of the desktop's handler for one URL scheme and writes down
// every address the program asks the desktop to open.
#pragma once

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QUrl>

namespace tp::test {

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    explicit UrlCatcher(const QString& scheme) : scheme_(scheme) {
        QDesktopServices::setUrlHandler(scheme_, this, "Open");
    }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler(scheme_); }
    QList<QUrl> opened;
public slots:
    void Open(const QUrl& url) { opened.append(url); }

private:
    QString scheme_;
};

}  // namespace tp::test
