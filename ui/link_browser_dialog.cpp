#include "ui/link_browser_dialog.h"

#include "app/paths.h"
#include "ui/dialog_units.h"

#include <QDesktopServices>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSvgRenderer>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineView>

#include <unistd.h>

#include <vector>

namespace tp {
namespace {

// The web links. The two site names label their own tree nodes.
const QString kFanSiteName = QStringLiteral("REX Corner");
const QString kFanSite = QStringLiteral("http://www.rexcorner.example.org/");
const QString kForum = QStringLiteral("http://forum.rexcorner.example.org/rex/");
const QString kConverter = QStringLiteral("http://html2txt.example.net/cgi-bin/html2txt");
const QString kAddInsSiteName = QStringLiteral("REX Add-ins");
const QString kAddInsSite = QStringLiteral("http://www.rexaddins.example.org/");
const QString kAddInsList = QStringLiteral("http://people.example.org/~rexapps/addins.htm");

// Tree pictures: one strip of seven 16 by 16 images.
constexpr int kImageSide = 16;
constexpr int kImageCount = 7;
// The border the page view and the tree keep to the window's right and bottom
// edges, and the gap between the "URL:" field and "Exit".
constexpr int kEdge = 10;
constexpr int kFieldGap = 4;

std::vector<QIcon> LoadTreeImages(qreal ratio) {
    std::vector<QIcon> images;
    QSvgRenderer renderer(QStringLiteral(":/pictures/155.svg"));
    if (!renderer.isValid()) return images;
    QPixmap strip(QSize(kImageSide * kImageCount, kImageSide) * ratio);
    strip.fill(Qt::transparent);
    {
        QPainter painter(&strip);
        renderer.render(&painter);
    }
    for (int i = 0; i < kImageCount; ++i) {
        QPixmap image = strip.copy(QRect(QPoint(i * kImageSide, 0), QSize(kImageSide, kImageSide) * ratio));
        image.setDevicePixelRatio(ratio);
        images.emplace_back(image);
    }
    return images;
}

// The web engine's sandbox cannot start for root; for anyone else it stays on.
void AllowWebEngineForRoot() {
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

QUrl ToUrl(const QString& address) { return QUrl::fromUserInput(address); }

}  // namespace

CLinkBrowserDialog::CLinkBrowserDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("linkBrowserDialog"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("REX Web Info Browser"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/156.svg")));

    auto* open = new QPushButton(QStringLiteral("->"));
    open->setObjectName(QStringLiteral("openPushButton"));
    open->setAutoDefault(false);
    open->setToolTip(QStringLiteral("Open in your web browser"));
    open->setFixedWidth(open->fontMetrics().horizontalAdvance(open->text()) + open->sizeHint().height());
    connect(open, &QPushButton::clicked, this, &CLinkBrowserDialog::OpenSelectedOutside);
    auto* urlLabel = new QLabel(QStringLiteral("URL:"));
    urlField_ = new QLineEdit;
    urlField_->setObjectName(QStringLiteral("urlLineEdit"));
    urlField_->setReadOnly(true);
    exitButton_ = new QPushButton(QStringLiteral("Exit"));
    exitButton_->setObjectName(QStringLiteral("exitPushButton"));
    exitButton_->setDefault(true);
    connect(exitButton_, &QPushButton::clicked, this, &QDialog::accept);

    tree_ = new QTreeWidget;
    tree_->setObjectName(QStringLiteral("linkTreeWidget"));
    tree_->setHeaderHidden(true);
    tree_->setRootIsDecorated(true);
    tree_->setFixedWidth(DialogUnitsToPixels(*this, 110, 0).width());

    AllowWebEngineForRoot();
    view_ = new QWebEngineView;
    view_->setObjectName(QStringLiteral("pageWebEngineView"));
    view_->setMinimumSize(DialogUnitsToPixels(*this, 100, 60));

    // The view and the tree stretch to kEdge pixels from the right and bottom
    // edges; "Exit" sits kEdge pixels from the right edge with the field
    // ending kFieldGap pixels before it.
    auto* top = new QHBoxLayout;
    top->setSpacing(kFieldGap);
    top->addWidget(open);
    top->addWidget(urlLabel);
    top->addWidget(urlField_, 1);
    top->addWidget(exitButton_);
    auto* body = new QHBoxLayout;
    body->addWidget(tree_);
    body->addWidget(view_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kEdge, kEdge, kEdge, kEdge);
    layout->addLayout(top);
    layout->addLayout(body, 1);
    setTabOrder(exitButton_, open);
    setTabOrder(open, tree_);
    setTabOrder(tree_, urlField_);

    connect(tree_, &QTreeWidget::currentItemChanged, this, &CLinkBrowserDialog::ShowSelected);
    BuildTree();
    tree_->setFocus();
    resize(DialogUnitsToPixels(*this, 438, 327));
}

QString CLinkBrowserDialog::AddressOf(const QTreeWidgetItem* node) {
    return node ? node->data(0, kAddressRole).toString() : QString();
}

QTreeWidgetItem* CLinkBrowserDialog::AddNode(QTreeWidgetItem* parent, const QString& label, int image,
                                             const QString& address) {
    auto* node = new QTreeWidgetItem({label});
    node->setData(0, kAddressRole, address);
    if (image < 0 || image >= static_cast<int>(images_.size())) image = 0;
    if (!images_.empty()) node->setIcon(0, images_[static_cast<std::size_t>(image)]);
    if (parent)
        parent->addChild(node);
    else
        tree_->addTopLevelItem(node);
    return node;
}

void CLinkBrowserDialog::BuildTree() {
    const QString doc = QFile::decodeName(QByteArray::fromStdString(GetDocFolder()));
    images_ = LoadTreeImages(devicePixelRatioF());
    tree_->setIconSize(QSize(kImageSide, kImageSide));

    // Selecting the first root at once starts loading the introduction.
    QTreeWidgetItem* program = AddNode(nullptr, QStringLiteral("Tidepost"), 1, doc + QStringLiteral("intro.htm"));
    tree_->setCurrentItem(program);
    AddNode(program, QStringLiteral("FAQ"), 2, doc + QStringLiteral("faq.htm"));
    AddNode(program, QStringLiteral("Help"), 2, doc + QStringLiteral("help.htm"));
    program->setExpanded(true);

    QTreeWidgetItem* tools = AddNode(nullptr, QStringLiteral("Tools"), 3, doc + QStringLiteral("tools.htm"));
    AddNode(tools, QStringLiteral("Pagewire 1.3"), 0, kFanSite + QStringLiteral("Content/rex-websync.htm#pagewire"));
    AddNode(tools, QStringLiteral("Intellisync 1.01"), 0, kFanSite + QStringLiteral("Content/rex-updates.htm#101"));
    AddNode(tools, QStringLiteral("html2txt"), 0, kConverter);
    tools->setExpanded(true);

    QTreeWidgetItem* fans = AddNode(nullptr, kFanSiteName, 6, kFanSite);
    AddNode(fans, QStringLiteral("Rex News"), 4, kFanSite + QStringLiteral("Content/rex-news.htm"));
    AddNode(fans, QStringLiteral("Rex FAQ"), 4, kFanSite + QStringLiteral("Content/rex-faq.htm"));
    AddNode(fans, QStringLiteral("Rex Forum"), 4, kForum);
    fans->setExpanded(true);

    QTreeWidgetItem* addIns = AddNode(nullptr, QStringLiteral("Add-ins & Develop."), 5, doc + QStringLiteral("dev.htm"));
    AddNode(addIns, kAddInsSiteName, 4, kAddInsSite);
    AddNode(addIns, QStringLiteral("Addins & Patches"), 4, kAddInsList);
    addIns->setExpanded(true);
}

void CLinkBrowserDialog::ShowSelected() {
    const QString address = AddressOf(tree_->currentItem());
    if (address.isEmpty()) return;
    view_->load(ToUrl(address));
    urlField_->setText(address);
}

// Failures of the desktop's handler are not reported.
void CLinkBrowserDialog::OpenSelectedOutside() {
    const QString address = AddressOf(tree_->currentItem());
    if (!address.isEmpty()) QDesktopServices::openUrl(ToUrl(address));
}

}  // namespace tp
