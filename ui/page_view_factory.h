// The page view of the link browser comes from a plugin, so that the web
// engine (a large library with its own processes) is loaded only when the link
// browser opens, not at every start of the program.
#pragma once

#include <QString>
#include <QtPlugin>

class QWidget;

namespace tp {

class PageViewFactory {
public:
    virtual ~PageViewFactory() = default;
    // A widget that shows the page at the address of its "url" property (a
    // QUrl) and emits loadFinished(bool) when a page has loaded.
    virtual QWidget* NewPageView(QWidget* parent) = 0;
};

// The plugin's file as this program finds it: beside the program, in the
// folder above it (the build tree's tools and tests), or where it is installed.
// Empty when none of them exists.
QString FindPageViewPlugin();

// Makes the application's shared graphics context that the web engine draws
// with, once, just before the plugin is loaded: made at program start it
// would cost every start the loading of the graphics driver.
void ShareGraphicsContexts();

}  // namespace tp

#define TIDEPOST_PAGE_VIEW_FACTORY_IID "org.tidepost.PageViewFactory/1"
Q_DECLARE_INTERFACE(tp::PageViewFactory, TIDEPOST_PAGE_VIEW_FACTORY_IID)
