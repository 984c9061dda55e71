#include "ui/customization_dialog.h"

#include "app/globals.h"
#include "app/paths.h"
#include "settings/customization_rules.h"
#include "ui/bitmap_static.h"
#include "ui/core_text.h"
#include "ui/dialog_controls.h"
#include "ui/dialog_kit.h"
#include "ui/dialog_units.h"
#include "ui/file_pickers.h"
#include "ui/message_boxes.h"
#include "ui/web_address_dialog.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tp {
namespace {

// The topic's own "on" picture, as its check box in the main window or the
// more-downloads dialog shows it.
int TopicPicture(std::string_view topic) {
    const struct {
        std::string_view topic;
        int picture;
    } pictures[] = {{"Weather", 132}, {"News", 130},       {"Stocks", 129}, {"Movies", 131},
                    {"Directions", 138}, {"Astro", 140}, {"Email", 148}};
    for (const auto& row : pictures) {
        if (row.topic == topic) return row.picture;
    }
    return 129;
}
constexpr QSize kPictureSize{56, 40};

// File names are file-system bytes, not Latin-1 text (PathText is their way in).
std::string PathBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

QPushButton* NewBrowseButton(const char* name) {
    QPushButton* button = NewPushButton(QStringLiteral("..."), QLatin1String(name));
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("...")) +
                          button->sizeHint().height());
    return button;
}

}  // namespace

CCustomizationDialog::CCustomizationDialog(std::string_view topic, const Settings& settings, MessageBoxes& boxes,
                                           FilePickers& pickers, QWidget* parent)
    : QDialog(parent), boxes_(boxes), pickers_(pickers) {
    setObjectName(QStringLiteral("customizationDialog"));
    setWindowTitle(FromCore(topic) + QStringLiteral(" XML page customization"));
    const int topicPicture = TopicPicture(topic);
    setWindowIcon(QIcon(QStringLiteral(":/pictures/%1.svg").arg(topicPicture)));

    auto* page = new QGroupBox(QStringLiteral("XML page"));
    page->setObjectName(QStringLiteral("xmlPageGroupBox"));
    auto* pageGrid = new QGridLayout(page);
    iconField_ = new QLineEdit;
    iconField_->setObjectName(QStringLiteral("iconFileLineEdit"));
    QPushButton* iconBrowse = NewBrowseButton("iconFilePushButton");
    templateField_ = new QLineEdit;
    templateField_->setObjectName(QStringLiteral("templateFileLineEdit"));
    QPushButton* templateBrowse = NewBrowseButton("templateFilePushButton");
    pageGrid->addWidget(new QLabel(QStringLiteral("Icon Filename:")), 0, 0);
    pageGrid->addWidget(iconField_, 0, 1);
    pageGrid->addWidget(iconBrowse, 0, 2);
    pageGrid->addWidget(new QLabel(QStringLiteral("XML Template Filename:")), 1, 0);
    pageGrid->addWidget(templateField_, 1, 1);
    pageGrid->addWidget(templateBrowse, 1, 2);
    pageGrid->setColumnStretch(1, 1);

    QPushButton* save = NewPushButton(QStringLiteral("&Save"), QStringLiteral("savePushButton"));
    save->setDefault(true);
    QPushButton* cancel = NewPushButton(QStringLiteral("Cancel"), QStringLiteral("cancelPushButton"));
    auto* picture = new CBitmapStatic(kPictureSize);
    picture->setObjectName(QStringLiteral("customizationBitmapStatic"));
    picture->SetBitmap(topicPicture);

    auto* web = new QGroupBox(QStringLiteral("Web Pages"));
    web->setObjectName(QStringLiteral("webPagesGroupBox"));
    auto* webRow = new QHBoxLayout(web);
    sourceList_ = new QComboBox;
    sourceList_->setObjectName(QStringLiteral("urlComboBox"));
    QPushButton* sourceEdit = NewBrowseButton("urlPushButton");
    QPushButton* sourceTest = NewPushButton(QStringLiteral("&Test..."), QStringLiteral("urlTestPushButton"));
    sourceTest->setToolTip(QStringLiteral("Fetch the selected source's page and cut it with its tags"));
    // A topic without web sources (e-mail) has nothing to edit here.
    sourceEdit->setEnabled(false);
    sourceTest->setEnabled(false);
    connect(sourceList_, &QComboBox::currentIndexChanged, this, [sourceEdit, sourceTest](int index) {
        sourceEdit->setEnabled(index >= 0);
        sourceTest->setEnabled(index >= 0);
    });
    webRow->addWidget(new QLabel(QStringLiteral("URL:")));
    webRow->addWidget(sourceList_, 1);
    webRow->addWidget(sourceEdit);
    webRow->addWidget(sourceTest);

    auto* left = new QVBoxLayout;
    left->addWidget(page);
    left->addWidget(web);
    auto* right = new QVBoxLayout;
    right->addWidget(save);
    right->addWidget(cancel);
    right->addStretch(1);
    right->addWidget(picture, 0, Qt::AlignHCenter);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(right);

    DialogOrder order;
    for (QWidget* widget : std::initializer_list<QWidget*>{iconField_, iconBrowse, templateField_, templateBrowse, save,
                                                           cancel, sourceList_, sourceEdit, sourceTest}) {
        order.Add(widget);
    }
    order.ApplyTabOrder();

    connect(iconBrowse, &QPushButton::clicked, this, [this] {
        PickFile(iconField_, QStringLiteral("*.txt"),
                 {{QStringLiteral("REX encoded icon (*.txt)"), QStringLiteral("*.txt")},
                  {QStringLiteral("All files (*.*)"), QStringLiteral("*.*")}});
    });
    connect(templateBrowse, &QPushButton::clicked, this, [this] {
        PickFile(templateField_, QStringLiteral("*.xmt"),
                 {{QStringLiteral("XML template files (*.xmt)"), QStringLiteral("*.xmt")},
                  {QStringLiteral("All files (*.*)"), QStringLiteral("*.*")}});
    });
    connect(save, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(sourceEdit, &QPushButton::clicked, this, [this] { EditSelectedSource(false); });
    connect(sourceTest, &QPushButton::clicked, this, [this] { EditSelectedSource(true); });

    webAddress_ = new CWebAddressDialog(boxes_, settings, this);
    resize(sizeHint().expandedTo(DialogUnitsToPixels(*this, 241, 101)));
}

void CCustomizationDialog::SetFileNames(const std::string& iconFile, const std::string& templateFile) {
    iconFile_ = iconFile;
    templateFile_ = templateFile;
    iconField_->setText(PathText(iconFile));
    templateField_->setText(PathText(templateFile));
}

bool CCustomizationDialog::AddSource(const SourceEntry& source) {
    if (sources_.size() == kMaxTopicSources) return false;
    sources_.push_back(source);
    sourceList_->addItem(FromCore(source.label));
    if (sources_.size() == 1) sourceList_->setCurrentIndex(0);
    return true;
}

void CCustomizationDialog::PickFile(QLineEdit* field, const QString& fileName, const QList<FileFilter>& filters) {
    const QString chosen = pickers_.OpenFile(this, PathText(GetCfgFolder()), fileName, filters);
    if (chosen.isEmpty()) return;
    field->setText(QFileInfo(chosen).fileName());
    if (!IsInConfigFolder(PathBytes(chosen))) OfferCopy(chosen);
}

// The name is kept either way; the pages use the file of that name in the
// configuration folder only.
void CCustomizationDialog::OfferCopy(const QString& chosen) {
    const QString name = QFileInfo(chosen).fileName();
    const QString folder = PathText(GetCfgFolder());
    QString question = QStringLiteral("Tidepost uses only files in its configuration folder (%1): the pages will "
                                      "look for \"%2\" there, not in %3.\n\nCopy \"%2\" into the configuration "
                                      "folder now?")
                           .arg(folder, name, QFileInfo(chosen).absolutePath());
    if (QFileInfo::exists(folder + name)) {
        question += QStringLiteral("\nThe file \"%1\" already there will be replaced.").arg(name);
    }
    if (!boxes_.Ask(this, windowTitle(), question)) return;
    if (!CopyIntoConfigFolder(PathBytes(chosen))) boxes_.Warn(this, windowTitle(), FromCore(g_lastError));
}

void CCustomizationDialog::EditSelectedSource(bool test) {
    const int index = sourceList_->currentIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= sources_.size()) return;
    SourceEntry& source = sources_[static_cast<std::size_t>(index)];
    webAddress_->setWindowTitle(QStringLiteral("%1 Web addresses and tags").arg(FromCore(source.label)));
    webAddress_->SetSource(source);
    // The workbench opens once the web address dialog is on the screen, and
    // closes back into it: a tag taken there is kept by its OK.
    if (test) QTimer::singleShot(0, webAddress_, &CWebAddressDialog::OpenWorkbench);
    if (webAddress_->exec() == QDialog::Accepted) webAddress_->CopyTextsInto(source);
}

void CCustomizationDialog::accept() {
    const std::string iconFile = PathBytes(iconField_->text());
    const std::string templateFile = PathBytes(templateField_->text());
    if (!IsTopicFileNameAccepted(iconFile) || !IsTopicFileNameAccepted(templateFile)) return;
    for (const SourceEntry& source : sources_) {
        if (const QString refusal = UnstorableSourceText(source); !refusal.isEmpty()) {
            boxes_.Warn(this, windowTitle(), FromCore(source.label) + QStringLiteral(": ") + refusal);
            return;
        }
    }
    if (!SaveTopicSources(sources_)) {
        boxes_.Warn(this, windowTitle(), FromCore(g_lastError));
        return;
    }
    iconFile_ = iconFile;
    templateFile_ = templateFile;
    QDialog::accept();
}

}  // namespace tp
