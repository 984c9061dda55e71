#include "ui/general_settings_dialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/globals.h"
#include "pages/page_files.h"
#include "settings/custom_store.h"
#include "settings/number_limits.h"
#include "settings/range_checks.h"
#include "settings/sync_tool.h"
#include "ui/dialog_controls.h"
#include "ui/core_text.h"
#include "ui/dialog_kit.h"
#include "ui/message_boxes.h"
#include "ui/spin_field.h"

namespace tp {
namespace {

const QString kIconFile = QStringLiteral(":/pictures/icon131.svg");

// Checks the button of index, or none when no button has that index.
void SetRadioIndex(QButtonGroup* group, int index) {
    if (QAbstractButton* button = group->button(index)) {
        button->setChecked(true);
        return;
    }
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons()) button->setChecked(false);
    group->setExclusive(true);
}

// The number fields, in dialog order.
constexpr RangedField kNumberFields[] = {RangedField::ConnectTimeout, RangedField::StallTimeout,
                                         RangedField::FetchTimeout, RangedField::MaxFetches,
                                         RangedField::MaxFetchesPerHost, RangedField::Retries,
                                         RangedField::RunDeadline};

QString FieldLabel(RangedField field) {
    switch (field) {
    case RangedField::ConnectTimeout:
        return QStringLiteral("Connect time-out");
    case RangedField::StallTimeout:
        return QStringLiteral("Stall time-out");
    case RangedField::FetchTimeout:
        return QStringLiteral("Whole fetch time-out");
    case RangedField::MaxFetches:
        return QStringLiteral("Pages fetched at once");
    case RangedField::MaxFetchesPerHost:
        return QStringLiteral("At once from one server");
    case RangedField::Retries:
        return QStringLiteral("Tries again after a failure");
    case RangedField::RunDeadline:
        return QStringLiteral("Whole download deadline");
    default:  // the main window's numbers
        return {};
    }
}

}  // namespace

CGeneralSettingsDialog::CGeneralSettingsDialog(MessageBoxes& boxes, GeneralSettings& settings,
                                               QWidget* parent)
    : QDialog(parent), boxes_(boxes), settings_(settings) {
    setObjectName(QStringLiteral("generalSettingsDialog"));
    setWindowTitle(QStringLiteral("General Settings"));
    setWindowIcon(QIcon(kIconFile));
    setModal(true);
    BuildControls();
}

void CGeneralSettingsDialog::BuildControls() {
    // Dialog order, which is also the tab order.
    DialogOrder order;
    auto inOrder = [&order](auto* widget, const char* name) {
        widget->setObjectName(QLatin1String(name));
        return order.Add(widget);
    };
    auto newFrame = [&](const QString& title, const char* name) {
        return inOrder(new QGroupBox(title), name);
    };
    auto newButton = [&](const QString& text, const char* name) {
        return order.Add(NewPushButton(text, QLatin1String(name)));
    };
    auto newSmallButton = [&](const QString& text, const char* name) {
        return order.Add(NewSmallButton(text, QLatin1String(name)));
    };
    auto newRadioGroup = [this](QRadioButton* first, QRadioButton* second) {
        auto* group = new QButtonGroup(this);
        group->addButton(first, 0);
        group->addButton(second, 1);
        return group;
    };

    QGroupBox* download = newFrame(QStringLiteral("Download parameters"), "downloadGroupBox");
    stopOnError_ = inOrder(new QCheckBox(QStringLiteral("Stop all downloads on first error")),
                           "stopOnErrorCheckBox");
    deleteXml_ = inOrder(new QCheckBox(QStringLiteral("Delete previous web downloads")),
                         "deleteXmlCheckBox");
    deleteNow_ = newSmallButton(QStringLiteral("->"), "deleteNowPushButton");
    auto* downloadGrid = new QGridLayout(download);
    downloadGrid->addWidget(stopOnError_, 0, 0);
    downloadGrid->addWidget(deleteXml_, 1, 0);
    downloadGrid->addWidget(deleteNow_, 1, 1);
    keepLastGoodPage_ = inOrder(new QCheckBox(QStringLiteral("Keep the last good page of a failing topic")),
                                "keepLastGoodPageCheckBox");
    downloadGrid->addWidget(keepLastGoodPage_, 2, 0, 1, 2);
    downloadGrid->setColumnStretch(0, 1);

    QGroupBox* time =
        newFrame(QStringLiteral("Time format (for subtitles only)"), "timeFormatGroupBox");
    auto* hours12 =
        inOrder(new QRadioButton(QStringLiteral("12 hours display time")), "hours12RadioButton");
    auto* hours24 =
        inOrder(new QRadioButton(QStringLiteral("24 hours display time")), "hours24RadioButton");
    timeFormat_ = newRadioGroup(hours12, hours24);
    QLabel* example12 = inOrder(new QLabel(QStringLiteral("6:15 PM")), "example12Label");
    QLabel* example24 = inOrder(new QLabel(QStringLiteral("18h15")), "example24Label");
    timeZone_ = inOrder(new QCheckBox(QStringLiteral("Display System Local Time Zone")),
                        "timeZoneCheckBox");
    auto* timeGrid = new QGridLayout(time);
    timeGrid->addWidget(hours12, 0, 0);
    timeGrid->addWidget(example12, 0, 1);
    timeGrid->addWidget(hours24, 1, 0);
    timeGrid->addWidget(example24, 1, 1);
    timeGrid->addWidget(timeZone_, 2, 0, 1, 2);
    timeGrid->setColumnStretch(1, 1);

    QGroupBox* exit = newFrame(QStringLiteral("Before to exit"), "exitGroupBox");
    auto* ask =
        inOrder(new QRadioButton(QStringLiteral("Ask for saving the settings")), "askRadioButton");
    auto* save =
        inOrder(new QRadioButton(QStringLiteral("Save settings automatically")), "saveRadioButton");
    saveOnExit_ = newRadioGroup(ask, save);
    auto* exitColumn = new QVBoxLayout(exit);
    exitColumn->addWidget(ask);
    exitColumn->addWidget(save);

    QGroupBox* completed =
        newFrame(QStringLiteral("When download is completed"), "completedGroupBox");
    intelliSynch_ =
        inOrder(new QCheckBox(QStringLiteral("Start Intellisync")), "intelliSynchCheckBox");
    synchNow_ = newSmallButton(QStringLiteral("->"), "synchNowPushButton");
    syncOnlyWhenChanged_ = inOrder(new QCheckBox(QStringLiteral("Only when a page has changed")),
                                   "syncOnlyWhenChangedCheckBox");
    autoExit_ =
        inOrder(new QCheckBox(QStringLiteral("Automatically exit Tidepost")), "autoExitCheckBox");
    auto* completedGrid = new QGridLayout(completed);
    completedGrid->addWidget(intelliSynch_, 0, 0);
    completedGrid->addWidget(synchNow_, 0, 1);
    completedGrid->addWidget(syncOnlyWhenChanged_, 1, 0, 1, 2);
    completedGrid->addWidget(autoExit_, 2, 0, 1, 2);
    completedGrid->setColumnStretch(0, 1);

    // Our own additions: how pages are fetched.
    QGroupBox* web = newFrame(QStringLiteral("Web pages"), "webGroupBox");
    localConversion_ = inOrder(new QCheckBox(QStringLiteral("Convert pages to text in Tidepost (no conversion service)")),
                               "localConversionCheckBox");
    auto* webGrid = new QGridLayout(web);
    webGrid->addWidget(localConversion_, 0, 0, 1, 3);
    const struct {
        CSpinField*& field;
        RangedField id;
        const char* name;
    } numbers[] = {{connectTimeout_, RangedField::ConnectTimeout, "connectTimeoutSpinField"},
                   {stallTimeout_, RangedField::StallTimeout, "stallTimeoutSpinField"},
                   {fetchTimeout_, RangedField::FetchTimeout, "fetchTimeoutSpinField"},
                   {maxFetches_, RangedField::MaxFetches, "maxFetchesSpinField"},
                   {maxFetchesPerHost_, RangedField::MaxFetchesPerHost, "maxFetchesPerHostSpinField"},
                   {retries_, RangedField::Retries, "retriesSpinField"},
                   {runDeadline_, RangedField::RunDeadline, "runDeadlineSpinField"}};
    int row = 1;
    for (const auto& number : numbers) {
        number.field = inOrder(new CSpinField(number.id), number.name);
        webGrid->addWidget(new QLabel(FieldLabel(number.id) + QStringLiteral(" :")), row, 0);
        webGrid->addWidget(number.field, row, 1);
        webGrid->addWidget(new QLabel(FromCore(BoundsLabel(number.id))),
                           row, 2);
        ++row;
    }
    webGrid->setColumnStretch(2, 1);

    QPushButton* cancel = newButton(QStringLiteral("Cancel"), "cancelPushButton");
    QPushButton* ok = newButton(QStringLiteral("OK"), "okPushButton");
    ok->setDefault(true);
    QLabel* icon = inOrder(new QLabel, "iconLabel");
    icon->setPixmap(QIcon(kIconFile).pixmap(32, 32));
    QPushButton* restore =
        newButton(QStringLiteral("Restore customization to default values"), "restorePushButton");
    QGroupBox* custom =
        newFrame(QStringLiteral("URL and Tags customization"), "customizationGroupBox");
    customWarnings_ = inOrder(new QCheckBox(QStringLiteral("Display warning messages")),
                              "customWarningsCheckBox");
    auto* customRow = new QHBoxLayout(custom);
    customRow->addWidget(customWarnings_);
    customRow->addStretch(1);
    customRow->addWidget(restore);

    auto* left = new QVBoxLayout;
    left->addWidget(download);
    left->addWidget(time);
    left->addWidget(exit);
    left->addWidget(completed);
    left->addWidget(web);
    auto* right = new QVBoxLayout;
    right->addWidget(ok);
    right->addWidget(cancel);
    right->addStretch(1);
    right->addWidget(icon, 0, Qt::AlignHCenter);
    auto* top = new QGridLayout(this);
    top->addLayout(left, 0, 0);
    top->addLayout(right, 0, 1);
    top->addWidget(custom, 1, 0, 1, 2);

    order.ApplyTabOrder();

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    // Deletes with what the box shows now, not with the setting.
    connect(deleteNow_, &QPushButton::clicked, this,
            [this] { DeletePreviousDownloads(deleteXml_->isChecked()); });
    connect(synchNow_, &QPushButton::clicked, this, [] { StartSyncTool(); });
    connect(restore, &QPushButton::clicked, this, &CGeneralSettingsDialog::RestoreCustomization);
}

void CGeneralSettingsDialog::setVisible(bool visible) {
    if (visible && !isVisible()) {
        FillControls();
        deleteNow_->setVisible(g_debug);
        synchNow_->setVisible(g_debug);
    }
    QDialog::setVisible(visible);
}

void CGeneralSettingsDialog::FillControls() {
    stopOnError_->setChecked(settings_.stopOnError);
    deleteXml_->setChecked(settings_.deleteXml);
    SetRadioIndex(timeFormat_, settings_.timeFormat);
    timeZone_->setChecked(settings_.timeZone);
    intelliSynch_->setChecked(settings_.intelliSynch);
    autoExit_->setChecked(settings_.autoExit);
    SetRadioIndex(saveOnExit_, settings_.saveOnExit ? 1 : 0);
    customWarnings_->setChecked(settings_.customWarnings);
    localConversion_->setChecked(settings_.localConversion);
    connectTimeout_->setValue(settings_.connectTimeout);
    stallTimeout_->setValue(settings_.stallTimeout);
    fetchTimeout_->setValue(settings_.fetchTimeout);
    maxFetches_->setValue(settings_.maxFetches);
    maxFetchesPerHost_->setValue(settings_.maxFetchesPerHost);
    retries_->setValue(settings_.retries);
    runDeadline_->setValue(settings_.runDeadline);
    keepLastGoodPage_->setChecked(settings_.keepLastGoodPage);
    syncOnlyWhenChanged_->setChecked(settings_.syncOnlyWhenChanged);
}

void CGeneralSettingsDialog::CollectControls(GeneralSettings& into) const {
    into.stopOnError = stopOnError_->isChecked();
    into.deleteXml = deleteXml_->isChecked();
    // No button chosen keeps the setting as it is.
    if (timeFormat_->checkedId() >= 0) into.timeFormat = timeFormat_->checkedId();
    into.timeZone = timeZone_->isChecked();
    into.intelliSynch = intelliSynch_->isChecked();
    into.autoExit = autoExit_->isChecked();
    if (saveOnExit_->checkedId() >= 0) into.saveOnExit = saveOnExit_->checkedId() == 1;
    into.customWarnings = customWarnings_->isChecked();
    into.localConversion = localConversion_->isChecked();
    into.connectTimeout = connectTimeout_->value();
    into.stallTimeout = stallTimeout_->value();
    into.fetchTimeout = fetchTimeout_->value();
    into.maxFetches = maxFetches_->value();
    into.maxFetchesPerHost = maxFetchesPerHost_->value();
    into.retries = retries_->value();
    into.runDeadline = runDeadline_->value();
    into.keepLastGoodPage = keepLastGoodPage_->isChecked();
    into.syncOnlyWhenChanged = syncOnlyWhenChanged_->isChecked();
}

void CGeneralSettingsDialog::accept() {
    // A time-out outside its bounds (from a hand-edited file) is refused and
    // the dialog stays open on it, as the main window does with its numbers.
    GeneralSettings shown = settings_;
    CollectControls(shown);
    if (const auto violation = CheckGeneralRanges(shown)) {
        boxes_.Warn(this, ProgramTitle(), NamedRangeMessage(*violation));
        FocusRefusedField(FieldOf(violation->field));
        return;
    }
    settings_ = shown;
    QDialog::accept();
}

CSpinField* CGeneralSettingsDialog::FieldOf(RangedField field) const {
    CSpinField* const fields[] = {connectTimeout_, stallTimeout_,      fetchTimeout_, maxFetches_,
                                  maxFetchesPerHost_, retries_, runDeadline_};
    for (std::size_t i = 0; i < std::size(kNumberFields); ++i) {
        if (kNumberFields[i] == field) return fields[i];
    }
    return nullptr;
}

QString CGeneralSettingsDialog::NamedRangeMessage(const RangeViolation& violation) {
    return FromCore(RangeMessage(violation)) +
           QStringLiteral("\n\n(\"%1\" in the General Settings dialog, opened with \"Settings\")")
               .arg(FieldLabel(violation.field));
}

void CGeneralSettingsDialog::RestoreCustomization() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool restored = ResetCustomStrings();
    QApplication::restoreOverrideCursor();
    if (!restored) {
        boxes_.Warn(
            this, ProgramTitle(),
            QStringLiteral("The customized addresses and tags could not all be restored.\n\n%1")
                .arg(QString::fromLocal8Bit(g_lastError)));
    }
}

}  // namespace tp
