// "REX Web Info Browser": a tree of links on the left (the program's help
// pages beside the executable and web pages about the organiser and its
// tools) and a page view on the right that shows the selected link. "->" hands
// the selected address to the desktop's browser, or says that the desktop has
// no program to open it.
#pragma once

#include <QDialog>
#include <QIcon>

#include "ui/page_view_factory.h"

#include <vector>

class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tp {

class MessageBoxes;

class CLinkBrowserDialog : public QDialog {
    Q_OBJECT
public:
    // Builds the tree and starts loading the introduction page. The page view
    // (and with it the web engine) is loaded from pageViewPlugin here, not at
    // program start; without it the pages open in the desktop's browser and a
    // note in place of the view says so. boxes shows the dialog's messages.
    explicit CLinkBrowserDialog(MessageBoxes& boxes, QWidget* parent = nullptr,
                                const QString& pageViewPlugin = FindPageViewPlugin());

    // The address a tree node carries; empty for none.
    static QString AddressOf(const QTreeWidgetItem* node);

    // The role of a node's address in the tree's item data.
    static constexpr int kAddressRole = Qt::UserRole;

private:
    void BuildTree();
    QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, const QString& label, int image, const QString& address);
    void ShowSelected();
    void OpenSelectedOutside();
    QWidget* NewPageView(const QString& pageViewPlugin);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

    MessageBoxes& boxes_;
    std::vector<QIcon> images_;  // the tree's pictures; an unknown index shows the first
    QTreeWidget* tree_ = nullptr;
    QWidget* view_ = nullptr;  // null: the pages open in the desktop's browser
    QLineEdit* urlField_ = nullptr;
    QPushButton* exitButton_ = nullptr;
};

}  // namespace tp
