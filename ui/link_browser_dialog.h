// "REX Web Info Browser": a tree of links on the left (the program's help
// pages beside the executable and web pages about the organiser and its
// tools) and a page view on the right that shows the selected link. "->" hands
// the selected address to the desktop's browser.
#pragma once

#include <QDialog>
#include <QIcon>

#include <vector>

class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class QWebEngineView;

namespace tp {

class CLinkBrowserDialog : public QDialog {
    Q_OBJECT
public:
    // Builds the tree and starts loading the introduction page. The page view
    // (and with it the web engine) comes to life here, not at program start.
    explicit CLinkBrowserDialog(QWidget* parent = nullptr);

    // The address a tree node carries; empty for none.
    static QString AddressOf(const QTreeWidgetItem* node);

    // The role of a node's address in the tree's item data.
    static constexpr int kAddressRole = Qt::UserRole;

private:
    void BuildTree();
    QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, const QString& label, int image, const QString& address);
    void ShowSelected();
    void OpenSelectedOutside();

    std::vector<QIcon> images_;  // the tree's pictures; an unknown index shows the first
    QTreeWidget* tree_ = nullptr;
    QWebEngineView* view_ = nullptr;
    QLineEdit* urlField_ = nullptr;
    QPushButton* exitButton_ = nullptr;
};

}  // namespace tp
