#include "ui/link_browser_dialog.h"

#include "app/paths.h"
#include "ui/dialog_kit.h"
#include "ui/dialog_units.h"
#include "ui/message_boxes.h"

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
#include <QKeyEvent>
#include <QPluginLoader>

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
    QPixmap strip(qRound(kImageSide * ratio) * kImageCount, qRound(kImageSide * ratio));
    strip.fill(Qt::transparent);
    {
        QPainter painter(&strip);
        renderer.render(&painter);
    }
    for (int i = 0; i < kImageCount; ++i) {
        // The strip is drawn at the screen's scale: so is each picture's place in it.
        const int side = qRound(kImageSide * ratio);
        QPixmap image = strip.copy(QRect(i * side, 0, side, side));
        image.setDevicePixelRatio(ratio);
        images.emplace_back(image);
    }
    return images;
}

QUrl ToUrl(const QString& address) { return QUrl::fromUserInput(address); }

}  // namespace

CLinkBrowserDialog::CLinkBrowserDialog(MessageBoxes& boxes, QWidget* parent, const QString& pageViewPlugin)
    : QDialog(parent), boxes_(boxes) {
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
    ShowReadOnly(urlField_);
    // Enter in the address field would press "Exit".
    urlField_->installEventFilter(this);
    exitButton_ = new QPushButton(QStringLiteral("Exit"));
    exitButton_->setObjectName(QStringLiteral("exitPushButton"));
    exitButton_->setDefault(true);
    connect(exitButton_, &QPushButton::clicked, this, &QDialog::accept);

    tree_ = new QTreeWidget;
    tree_->setObjectName(QStringLiteral("linkTreeWidget"));
    tree_->setHeaderHidden(true);
    tree_->setRootIsDecorated(true);
    tree_->setFixedWidth(DialogUnitsToPixels(*this, 110, 0).width());

    QWidget* page = NewPageView(pageViewPlugin);
    page->setMinimumSize(DialogUnitsToPixels(*this, 100, 60));

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
    body->addWidget(page, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kEdge, kEdge, kEdge, kEdge);
    layout->addLayout(top);
    layout->addLayout(body, 1);
    DialogOrder order;
    for (QWidget* widget : {static_cast<QWidget*>(exitButton_), static_cast<QWidget*>(open),
                            static_cast<QWidget*>(tree_), static_cast<QWidget*>(urlField_)}) {
        order.Add(widget);
    }
    order.ApplyTabOrder();

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
    urlField_->setText(address);
    if (view_) {
        view_->setProperty("url", ToUrl(address));
    } else {
        QDesktopServices::openUrl(ToUrl(address));
    }
}

QWidget* CLinkBrowserDialog::NewPageView(const QString& pageViewPlugin) {
    if (!pageViewPlugin.isEmpty()) ShareGraphicsContexts();
    QPluginLoader loader(pageViewPlugin);
    auto* factory = qobject_cast<PageViewFactory*>(loader.instance());
    if (factory) {
        view_ = factory->NewPageView(this);
        view_->setObjectName(QStringLiteral("pageWebEngineView"));
        return view_;
    }
    const QString reason = pageViewPlugin.isEmpty() ? QStringLiteral("the page view plugin was not found")
                                                    : loader.errorString();
    auto* note = new QLabel(QStringLiteral("The web page viewer could not be loaded (%1).\n\n"
                                           "The pages open in your web browser instead.")
                                .arg(reason));
    note->setObjectName(QStringLiteral("pageFallbackLabel"));
    note->setWordWrap(true);
    note->setAlignment(Qt::AlignCenter);
    note->setFrameShape(QFrame::StyledPanel);
    return note;
}

bool CLinkBrowserDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == urlField_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;
    }
    return QDialog::eventFilter(watched, event);
}

// Failures of the desktop's handler are not reported.
void CLinkBrowserDialog::OpenSelectedOutside() {
    const QString address = AddressOf(tree_->currentItem());
    if (address.isEmpty()) return;
    if (!QDesktopServices::openUrl(ToUrl(address))) {
        boxes_.Warn(this, ProgramTitle(), QStringLiteral("This desktop has no program to open %1.").arg(address));
    }
}

}  // namespace tp
