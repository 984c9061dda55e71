#include "ui/main_dialog.h"

#include "app/globals.h"
#include "app/paths.h"
#include "resources/string_table.h"
#include "run/run_log.h"
#include "run/source_health.h"
#include "settings/choice_lists.h"
#include "ui/about_dialog.h"
#include "ui/background_run.h"
#include "ui/bitmap_static.h"
#include "ui/code_list_dialog.h"
#include "ui/core_text.h"
#include "ui/customization_flow.h"
#include "ui/dialog_controls.h"
#include "ui/dialog_kit.h"
#include "ui/dialog_units.h"
#include "ui/entry_checks.h"
#include "ui/general_settings_dialog.h"
#include "ui/link_browser_dialog.h"
#include "ui/message_boxes.h"
#include "ui/more_downloads_dialog.h"
#include "ui/spin_field.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QToolTip>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace tp {
namespace {

// The topics of this window; the others are in the more-downloads dialog.
constexpr TopicId kTopicsHere[] = {TopicId::Weather, TopicId::News, TopicId::Stocks, TopicId::Movies};

// "List of symbols :" takes at most this many characters as typed.
constexpr int kSymbolsMaxTyped = 512;

// The characters named, each in quotes, a blank as "(blank)".
QString QuotedCharacters(const std::string& characters) {
    QStringList quoted;
    for (char c : characters) {
        quoted.append(c == ' ' ? QStringLiteral("(blank)") : QStringLiteral("\"%1\"").arg(QChar::fromLatin1(c)));
    }
    return quoted.join(QStringLiteral(" "));
}

QString SymbolsRefusal(const std::string& refused) {
    return QStringLiteral("A stock symbol holds letters A to Z, digits, \".\", \"-\", \"^\" and \"=\"; "
                          "\",\" separates the symbols. Not allowed: %1")
        .arg(QuotedCharacters(refused));
}

// Stock symbols are typed in capitals; a character no quote service uses is
// refused as it is typed, and a tip at the field names it.
class SymbolsValidator : public QValidator {
public:
    explicit SymbolsValidator(QLineEdit* field) : QValidator(field), field_(field) {}
    State validate(QString& input, int& /*pos*/) const override {
        input = input.toUpper();
        const std::string refused = RefusedSymbolCharacters(ToCore(input));
        if (refused.empty()) return Acceptable;
        QToolTip::showText(field_->mapToGlobal(QPoint(0, field_->height())), SymbolsRefusal(refused), field_);
        return Invalid;
    }

private:
    QLineEdit* field_;
};

QLabel* NewLabel(const QString& text) { return new QLabel(text); }

// The labels of a frame's first column take the width of the widest, so that
// the fields after them start in one line.
void AlignLabels(const std::vector<QLabel*>& labels) {
    int widest = 0;
    for (const QLabel* label : labels) widest = std::max(widest, label->sizeHint().width());
    for (QLabel* label : labels) label->setMinimumWidth(widest);
}

// A list of codes is shown from its start, in a field that widens to hold it,
// up to a width the window keeps; the whole list is also the tooltip.
void ShowCodeList(QLineEdit* field, const QString& text) {
    field->setText(text);
    field->setCursorPosition(0);
    field->setToolTip(text);
    const QFontMetrics metrics = field->fontMetrics();
    const int frame = field->sizeHint().width() - metrics.averageCharWidth() * 17;  // QLineEdit's hint holds 17
    const int least = metrics.horizontalAdvance(QStringLiteral("FRXX0076,FRXX0076,FRXX0076"));
    const int most = metrics.horizontalAdvance(QStringLiteral("FRXX0076,")) * 6;
    field->setMinimumWidth(std::clamp(metrics.horizontalAdvance(text), least, most) + std::max(frame, 0));
}

// "days (1...10)" beside a number field.
QLabel* NewBoundsLabel(RangedField field) { return NewLabel(FromCore(BoundsLabel(field))); }

QComboBox* NewChoiceList(std::span<const std::string_view> entries, const QString& name) {
    auto* list = new QComboBox;
    list->setObjectName(name);
    for (std::string_view entry : entries) list->addItem(FromCore(entry));
    return list;
}

}  // namespace

CMainDialog::CMainDialog(MessageBoxes& boxes, QWidget* parent) : QDialog(parent), boxes_(boxes) {
    setObjectName(QStringLiteral("mainDialog"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    std::vector<SettingReset> resets;
    ReadSettings(settings_, &resets);

    codeLists_.reserve(3);
    BuildControls(resets);
    ConnectEditButtons();
    FillControls();
    for (TopicId topic : {TopicId::Stocks, TopicId::News, TopicId::Movies, TopicId::Weather}) ApplyTopicBox(topic, false);

    setWindowIcon(QIcon(QStringLiteral(":/pictures/128.svg")));
    setWindowTitle(FromCore(LoadStringResource(kVersionText)));

    run_ = new BackgroundRun(*this, this);
    connect(run_, &BackgroundRun::Finished, this, &CMainDialog::OnRunFinished);

    // The two settings dialogs are built when first asked for.
    connect(settingsButton_, &QPushButton::clicked, this, [this] { GeneralDialog()->exec(); });
    connect(moreButton_, &QPushButton::clicked, this, [this] {
        if (MoreDialog()->exec() == QDialog::Accepted) UpdateDownloadButton();
    });

    resize(sizeHint().expandedTo(DialogUnitsToPixels(*this, 438, 327)));
}

CGeneralSettingsDialog* CMainDialog::GeneralDialog() {
    if (!generalDialog_) generalDialog_ = new CGeneralSettingsDialog(boxes_, settings_.general, this);
    return generalDialog_;
}

CMoreDownloadsDialog* CMainDialog::MoreDialog() {
    if (moreDialog_) return moreDialog_;
    moreDialog_ = new CMoreDownloadsDialog(boxes_, settings_, this);
    // The further topics' "Custom..." buttons run the same flow over the file
    // names the more-downloads dialog holds.
    connect(moreDialog_, &CMoreDownloadsDialog::CustomizeTopic, this, [this](TopicId topic) {
        const TopicFiles files = TopicOf(topic).files(settings_);
        EditTopicCustomization(moreDialog_, boxes_, settings_, TopicOf(topic).name, files.icon,
                               files.templateName);
    });
    return moreDialog_;
}

// The code lists are read from their files once the window is on the screen,
// or before when a control needs them first.
void CMainDialog::FillCodeListsOnce() {
    if (codeListsFilled_) return;
    codeListsFilled_ = true;
    for (const CodeListControls& list : codeLists_) FillCodeList(list.kind);
}

CMainDialog::~CMainDialog() {
    if (waitCursor_) QApplication::restoreOverrideCursor();
}

// Says once, above the window's controls, which numbers of the settings file
// could not be taken and which values are used instead; the user dismisses it.
QWidget* CMainDialog::BuildResetBar(const std::vector<SettingReset>& resets) {
    auto* bar = new QFrame;
    bar->setObjectName(QStringLiteral("resetKeysBar"));
    bar->setFrameShape(QFrame::StyledPanel);
    bar->setAutoFillBackground(true);
    QPalette palette = bar->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::ToolTipBase));
    palette.setColor(QPalette::WindowText, palette.color(QPalette::ToolTipText));
    bar->setPalette(palette);
    QStringList keys;
    for (const SettingReset& reset : resets) {
        keys.append(QStringLiteral("[%1] %2=%3 (%4 is used)")
                        .arg(FromCore(reset.section), FromCore(reset.key), FromCore(reset.value))
                        .arg(reset.used));
    }
    auto* text = new QLabel(QStringLiteral("These settings in %1 are not numbers within their bounds and take "
                                           "their default values: %2")
                                .arg(PathText(GetIniPath()), keys.join(QStringLiteral(", "))));
    text->setObjectName(QStringLiteral("resetKeysLabel"));
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    QPushButton* dismiss = NewPushButton(QStringLiteral("&Dismiss"), QStringLiteral("resetKeysDismissPushButton"));
    connect(dismiss, &QPushButton::clicked, bar, &QWidget::hide);
    auto* row = new QHBoxLayout(bar);
    row->addWidget(text, 1);
    row->addWidget(dismiss, 0, Qt::AlignTop);
    return bar;
}

void CMainDialog::BuildControls(const std::vector<SettingReset>& resets) {
    // Built in dialog order: the tab order follows it.
    QWidget* buttons = BuildButtonColumn();
    QWidget* status = BuildStatusFrame();
    QWidget* weather = BuildWeatherSection();
    QWidget* news = BuildNewsSection();
    QWidget* stocks = BuildStocksSection();
    QWidget* movies = BuildMoviesSection();

    auto* topicsGrid = new QGridLayout;
    topicsGrid->addWidget(weather, 0, 0, 2, 1);
    topicsGrid->addWidget(movies, 2, 0);
    topicsGrid->addWidget(news, 0, 1);
    topicsGrid->addWidget(stocks, 1, 1, 2, 1);
    topicsGrid->setColumnStretch(0, 1);
    topicsGrid->setColumnStretch(1, 1);

    auto* left = new QVBoxLayout;
    left->addLayout(topicsGrid, 1);
    left->addWidget(status);

    auto* window = new QVBoxLayout(this);
    if (!resets.empty()) window->addWidget(BuildResetBar(resets));
    auto* top = new QHBoxLayout;
    window->addLayout(top, 1);
    top->addLayout(left, 1);
    top->addWidget(buttons);
    order_.ApplyTabOrder();
}

QWidget* CMainDialog::BuildButtonColumn() {
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    auto add = [&](const QString& text, const char* name) {
        auto* button = order_.Add(NewPushButton(text, QLatin1String(name)));
        layout->addWidget(button);
        return button;
    };
    downloadButton_ = add(QStringLiteral("&Download"), "downloadPushButton");
    downloadButton_->setDefault(true);
    connect(downloadButton_, &QPushButton::clicked, this, &CMainDialog::OnDownload);
    settingsButton_ = add(QStringLiteral("Sett&ings"), "settingsPushButton");
    moreButton_ = add(QStringLiteral(">> M&ore..."), "moreDownloadsPushButton");
    rexInfoButton_ = add(QStringLiteral("REX Info"), "rexInfoPushButton");
    aboutButton_ = add(QStringLiteral("&About"), "aboutPushButton");
    connect(rexInfoButton_, &QPushButton::clicked, this, [this] {
        auto* links = new CLinkBrowserDialog(boxes_, this);
        links->setAttribute(Qt::WA_DeleteOnClose);
        links->open();
    });
    connect(aboutButton_, &QPushButton::clicked, this, [this] {
        auto* about = new CAboutDialog(boxes_, this);
        about->setAttribute(Qt::WA_DeleteOnClose);
        about->open();
    });
    layout->addStretch(1);
    QPushButton* exit = add(QStringLiteral("&Exit"), "exitPushButton");
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);
    return column;
}

QWidget* CMainDialog::BuildStatusFrame() {
    auto* frame = order_.Add(new QGroupBox(QStringLiteral("Status")));
    frame->setObjectName(QStringLiteral("statusGroupBox"));
    auto* grid = new QGridLayout(frame);

    statusLabel_ = order_.Add(new QLabel);
    statusLabel_->setObjectName(QStringLiteral("statusLabel"));
    statusLabel_->setFrameShape(QFrame::StyledPanel);
    statusLabel_->setFrameShadow(QFrame::Sunken);
    statusLabel_->setTextFormat(Qt::PlainText);
    statusLabel_->setWordWrap(true);
    statusLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A long error text must not widen the window; its whole text is the tooltip.
    statusLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    statusLabel_->setFixedHeight(statusLabel_->fontMetrics().lineSpacing() * 2 +
                                 2 * statusLabel_->frameWidth() + 4);
    grid->addWidget(NewLabel(QStringLiteral("Information :")), 0, 0);
    grid->addWidget(statusLabel_, 0, 1);

    viewButton_ = order_.Add(NewSmallButton(QStringLiteral(">>"), QStringLiteral("viewPushButton")));
    viewButton_->setEnabled(false);
    viewButton_->setToolTip(QStringLiteral("Show the last page fetched"));
    connect(viewButton_, &QPushButton::clicked, this, &CMainDialog::OpenRawCopy);
    grid->addWidget(viewButton_, 0, 2);

    // What went wrong in a run, in words, one line per failed step.
    diagnostics_ = order_.Add(new QPlainTextEdit);
    diagnostics_->setObjectName(QStringLiteral("diagnosticsPlainTextEdit"));
    diagnostics_->setReadOnly(true);
    diagnostics_->setLineWrapMode(QPlainTextEdit::NoWrap);
    diagnostics_->setFixedHeight(diagnostics_->fontMetrics().lineSpacing() * 3 + 2 * diagnostics_->frameWidth() + 8);
    QPalette palette = diagnostics_->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    diagnostics_->setPalette(palette);
    grid->addWidget(NewLabel(QStringLiteral("Details :")), 1, 0, Qt::AlignTop);
    grid->addWidget(diagnostics_, 1, 1, 1, 2);

    progressBar_ = order_.Add(new QProgressBar);
    progressBar_->setObjectName(QStringLiteral("progressBar"));
    progressBar_->setRange(0, tp::kTopicCount);
    progressBar_->setValue(0);
    progressBar_->setTextVisible(false);
    grid->addWidget(NewLabel(QStringLiteral("Progress :")), 2, 0);
    grid->addWidget(progressBar_, 2, 1, 1, 2);
    attentionButton_ = new QPushButton;
    attentionButton_->setObjectName(QStringLiteral("attentionPushButton"));
    attentionButton_->setAutoDefault(false);
    attentionButton_->setToolTip(QStringLiteral("Show the sources that failed in each of their last downloads"));
    connect(attentionButton_, &QPushButton::clicked, this, [this] {
        const std::vector<FailingSource> failing = FailingSources(ReadRunLog(GetExeFolder()));
        boxes_.Inform(this, ProgramTitle(), FromCore(FailingSourcesDetails(failing)));
    });
    grid->addWidget(attentionButton_, 3, 1, 1, 2, Qt::AlignLeft);
    grid->setColumnStretch(1, 1);
    ShowSourceHealth();
    return frame;
}

// The topic's frame; its object names start with the topic's name in lower case.
QGroupBox* CMainDialog::NewTopicBox(TopicId topic, const QString& title, QVBoxLayout*& contents) {
    TopicSection& section = Section(topic);
    const Topic& table = TopicOf(topic);
    static_cast<TopicFrame&>(section) = NewTopicFrame(title, FromCore(table.name).toLower().toLatin1().constData(),
                                                      table.picture, table.pictureUnselected);
    order_.Add(section.box);
    connect(section.box, &QGroupBox::clicked, this, [this, topic] { ApplyTopicBox(topic, true); });

    auto* row = new QHBoxLayout(section.box);
    row->addWidget(section.picture, 0, Qt::AlignTop);
    auto* column = new QVBoxLayout;
    row->addLayout(column, 1);
    contents = column;
    return section.box;
}

void CMainDialog::AddCustomButton(TopicId topic, QVBoxLayout& contents) {
    QPushButton* custom = order_.Add(NewPushButton(
        QStringLiteral("Custom..."), FromCore(TopicOf(topic).name).toLower() + QStringLiteral("CustomPushButton")));
    contents.addWidget(custom, 0, Qt::AlignRight);
    Section(topic).custom = custom;
}

// "Area Code :" with its entries, "+", "-" and "..."; the list field of the
// same kind comes later in dialog order and is added by the section.
QWidget* CMainDialog::NewCodeListRow(CodeListKind kind, const QString& entriesLabel, const QString& prefix) {
    CodeListControls controls{kind};
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    controls.label = NewLabel(entriesLabel);
    layout->addWidget(controls.label);
    controls.entries = order_.Add(new QComboBox);
    controls.entries->setObjectName(prefix + QStringLiteral("ComboBox"));
    // Entries of any length must not widen the window.
    controls.entries->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    controls.entries->setMinimumContentsLength(14);
    layout->addWidget(controls.entries, 1);
    QPushButton* add = order_.Add(NewSmallButton(QStringLiteral("+"), prefix + QStringLiteral("AddPushButton")));
    QPushButton* remove =
        order_.Add(NewSmallButton(QStringLiteral("-"), prefix + QStringLiteral("RemovePushButton")));
    controls.edit = order_.Add(NewSmallButton(QStringLiteral("..."), prefix + QStringLiteral("EditPushButton")));
    layout->addWidget(add);
    layout->addWidget(remove);
    layout->addWidget(controls.edit);
    connect(add, &QPushButton::clicked, this, [this, kind] { AddCode(kind); });
    connect(remove, &QPushButton::clicked, this, [this, kind] { RemoveCode(kind); });
    codeLists_.push_back(controls);
    return row;
}

QWidget* CMainDialog::BuildWeatherSection() {
    QVBoxLayout* contents = nullptr;
    QGroupBox* box = NewTopicBox(TopicId::Weather, QStringLiteral("&Weather"), contents);

    std::vector<QLabel*> labels;
    auto numberRow = [this, &labels](CSpinField*& field, RangedField bounds, const char* name) {
        auto* row = new QHBoxLayout;
        labels.push_back(NewLabel(QStringLiteral("Forecast :")));
        row->addWidget(labels.back());
        field = order_.Add(new CSpinField(bounds));
        field->setObjectName(QLatin1String(name));
        row->addWidget(field);
        row->addWidget(NewBoundsLabel(bounds));
        return row;
    };
    auto fieldRow = [this, &labels](CodeListKind kind, const QString& label, const QString& prefix) {
        CodeListControls& controls = Controls(kind);
        auto* row = new QHBoxLayout;
        labels.push_back(NewLabel(label));
        row->addWidget(labels.back());
        controls.field = order_.Add(new QLineEdit);
        controls.field->setObjectName(prefix + QStringLiteral("LineEdit"));
        ShowReadOnly(controls.field);
        row->addWidget(controls.field, 1);
        QPushButton* clear = order_.Add(NewSmallButton(QStringLiteral("C"), prefix + QStringLiteral("ClearPushButton")));
        connect(clear, &QPushButton::clicked, controls.field, &QLineEdit::clear);
        row->addWidget(clear);
        return row;
    };

    auto* usa = order_.Add(new QGroupBox(QStringLiteral("USA")));
    usa->setObjectName(QStringLiteral("usaGroupBox"));
    auto* usaLayout = new QVBoxLayout(usa);
    QHBoxLayout* usaDays = numberRow(forecastUsa_, RangedField::ForecastUsa, "forecastUsaSpinField");
    usaDays->addStretch(1);
    usaDays->addWidget(order_.Add(NewHelpButton(kHelpZipCodes, QLatin1String("zipHelpPushButton"), this)));
    usaLayout->addLayout(usaDays);
    usaLayout->addWidget(NewCodeListRow(CodeListKind::Area, QStringLiteral("Area Code :"),
                                        QStringLiteral("areaCode")));
    usaLayout->addLayout(fieldRow(CodeListKind::Area, QStringLiteral("List of Area Codes :"),
                                  QStringLiteral("areaCodes")));

    auto* europe = order_.Add(new QGroupBox(QStringLiteral("Europe")));
    europe->setObjectName(QStringLiteral("europeGroupBox"));
    auto* europeLayout = new QVBoxLayout(europe);
    QHBoxLayout* euroDays = numberRow(forecastEuro_, RangedField::ForecastEuro, "forecastEuroSpinField");
    euroDays->addStretch(1);
    euroDays->addWidget(NewLabel(QStringLiteral("Language :")));
    language_ = order_.Add(NewChoiceList(WeatherLanguageNames(), QStringLiteral("languageComboBox")));
    euroDays->addWidget(language_);
    euroDays->addWidget(order_.Add(NewHelpButton(kHelpCityCodes, QLatin1String("cityHelpPushButton"), this)));
    europeLayout->addLayout(euroDays);
    europeLayout->addWidget(NewCodeListRow(CodeListKind::City, QStringLiteral("City Code :"),
                                           QStringLiteral("cityCode")));
    europeLayout->addLayout(fieldRow(CodeListKind::City, QStringLiteral("List of City Codes :"),
                                     QStringLiteral("cityCodes")));

    for (CodeListKind kind : {CodeListKind::Area, CodeListKind::City}) labels.push_back(Controls(kind).label);
    AlignLabels(labels);
    contents->addWidget(usa);
    contents->addWidget(europe);
    AddCustomButton(TopicId::Weather, *contents);
    return box;
}

QWidget* CMainDialog::BuildNewsSection() {
    QVBoxLayout* contents = nullptr;
    QGroupBox* box = NewTopicBox(TopicId::News, QStringLiteral("&News"), contents);
    auto* grid = new QGridLayout;
    grid->addWidget(NewLabel(QStringLiteral("Headlines :")), 0, 0);
    auto* count = new QHBoxLayout;
    headlines_ = order_.Add(new CSpinField(RangedField::Headlines));
    headlines_->setObjectName(QStringLiteral("headlinesSpinField"));
    count->addWidget(headlines_);
    count->addWidget(NewBoundsLabel(RangedField::Headlines));
    count->addStretch(1);
    grid->addLayout(count, 0, 1, 1, 2);

    const struct {
        const char* label;
        const char* name;
    } categories[] = {{"World News :", "worldNews"}, {"Technology News :", "techNews"}, {"Sport News :", "sportNews"}};
    for (int i = 0; i < 3; ++i) {
        categoryBoxes_[i] = order_.Add(new QCheckBox(QLatin1String(categories[i].label)));
        categoryBoxes_[i]->setObjectName(QLatin1String(categories[i].name) + QStringLiteral("CheckBox"));
        categorySources_[i] = order_.Add(NewChoiceList(
            SourceCountryNames(), QLatin1String(categories[i].name) + QStringLiteral("FromComboBox")));
        connect(categoryBoxes_[i], &QCheckBox::clicked, this, [this, i](bool on) {
            if (Section(TopicId::News).box->isChecked()) categorySources_[i]->setEnabled(on);
        });
        grid->addWidget(categoryBoxes_[i], i + 1, 0);
        grid->addWidget(NewLabel(QStringLiteral("from :")), i + 1, 1, Qt::AlignRight);
        grid->addWidget(categorySources_[i], i + 1, 2);
    }
    grid->setColumnStretch(2, 1);
    contents->addLayout(grid);
    AddCustomButton(TopicId::News, *contents);
    return box;
}

QWidget* CMainDialog::BuildStocksSection() {
    QVBoxLayout* contents = nullptr;
    QGroupBox* box = NewTopicBox(TopicId::Stocks, QStringLiteral("&Stocks"), contents);
    QVBoxLayout* column = contents;

    auto* symbolsRow = new QHBoxLayout;
    QLabel* symbolsLabel = NewLabel(QStringLiteral("List of symbols :"));
    symbolsRow->addWidget(symbolsLabel);
    symbols_ = order_.Add(new QLineEdit);
    symbols_->setObjectName(QStringLiteral("symbolsLineEdit"));
    symbols_->setValidator(new SymbolsValidator(symbols_));
    symbolsRow->addWidget(symbols_, 1);
    column->addLayout(symbolsRow);
    auto* noteRow = new QHBoxLayout;
    noteRow->addStretch(1);
    noteRow->addWidget(NewLabel(QStringLiteral("(Max. 50 stocks)")));
    noteRow->addWidget(order_.Add(NewHelpButton(kHelpStocks, QLatin1String("stocksHelpPushButton"), this)));
    column->addLayout(noteRow);

    column->addWidget(NewCodeListRow(CodeListKind::Rate, QStringLiteral("Exchange Rate :"),
                                     QStringLiteral("rate")));
    auto* daysRow = new QHBoxLayout;
    QLabel* daysLabel = NewLabel(QStringLiteral("Exchange Rate History :"));
    daysRow->addWidget(daysLabel);
    xRateDays_ = order_.Add(new CSpinField(RangedField::XRateDays));
    xRateDays_->setObjectName(QStringLiteral("xRateDaysSpinField"));
    daysRow->addWidget(xRateDays_);
    daysRow->addWidget(NewBoundsLabel(RangedField::XRateDays));
    daysRow->addStretch(1);
    column->addLayout(daysRow);

    CodeListControls& rates = Controls(CodeListKind::Rate);
    auto* ratesRow = new QHBoxLayout;
    QLabel* ratesLabel = NewLabel(QStringLiteral("List of Rates :"));
    ratesRow->addWidget(ratesLabel);
    rates.field = order_.Add(new QLineEdit);
    rates.field->setObjectName(QStringLiteral("ratesLineEdit"));
    ShowReadOnly(rates.field);
    AlignLabels({symbolsLabel, rates.label, daysLabel, ratesLabel});
    ratesRow->addWidget(rates.field, 1);
    QPushButton* clear = order_.Add(NewSmallButton(QStringLiteral("C"), QStringLiteral("ratesClearPushButton")));
    connect(clear, &QPushButton::clicked, rates.field, &QLineEdit::clear);
    ratesRow->addWidget(clear);
    column->addLayout(ratesRow);
    column->addStretch(1);

    AddCustomButton(TopicId::Stocks, *column);
    return box;
}

QWidget* CMainDialog::BuildMoviesSection() {
    QVBoxLayout* contents = nullptr;
    QGroupBox* box = NewTopicBox(TopicId::Movies, QStringLiteral("&Movies"), contents);
    QVBoxLayout* column = contents;
    column->addWidget(NewLabel(QStringLiteral("Coming soon in theatres")));
    auto* row = new QHBoxLayout;
    row->addWidget(NewLabel(QStringLiteral("Max. :")));
    maxMovies_ = order_.Add(new CSpinField(RangedField::MaxMovies));
    maxMovies_->setObjectName(QStringLiteral("maxMoviesSpinField"));
    row->addWidget(maxMovies_);
    row->addWidget(NewBoundsLabel(RangedField::MaxMovies));
    row->addStretch(1);
    row->addWidget(NewLabel(QStringLiteral("Country :")));
    moviesCountry_ = order_.Add(NewChoiceList(SourceCountryNames(), QStringLiteral("moviesCountryComboBox")));
    row->addWidget(moviesCountry_);
    column->addLayout(row);
    AddCustomButton(TopicId::Movies, *column);
    return box;
}

CMainDialog::CodeListControls& CMainDialog::Controls(CodeListKind kind) {
    return *std::find_if(codeLists_.begin(), codeLists_.end(),
                         [kind](const CodeListControls& c) { return c.kind == kind; });
}

void CMainDialog::FillControls() {
    const MainSettings& m = settings_.main;
    Section(TopicId::Weather).box->setChecked(m.weather.download);
    Section(TopicId::News).box->setChecked(m.news.download);
    Section(TopicId::Stocks).box->setChecked(m.stocks.download);
    Section(TopicId::Movies).box->setChecked(m.movies.download);

    forecastUsa_->setValue(m.weather.forecastUsa);
    forecastEuro_->setValue(m.weather.forecastEuro);
    SetChoice(language_, m.weather.language);
    ShowCodeList(Controls(CodeListKind::Area).field, FromCore(m.weather.zip));
    ShowCodeList(Controls(CodeListKind::City).field, FromCore(m.weather.cityCode));

    headlines_->setValue(m.news.nbNews);
    const bool categories[] = {m.news.world, m.news.tech, m.news.sport};
    const int sources[] = {m.news.worldLang, m.news.techLang, m.news.sportLang};
    for (int i = 0; i < 3; ++i) {
        categoryBoxes_[i]->setChecked(categories[i]);
        SetChoice(categorySources_[i], sources[i]);
    }

    // A longer list from the settings file is shown whole; only typing is limited.
    const QString symbols = FromCore(m.stocks.symbols);
    symbols_->setMaxLength(std::max<int>(kSymbolsMaxTyped, static_cast<int>(symbols.size())));
    symbols_->setText(symbols);
    ShowCodeList(Controls(CodeListKind::Rate).field, FromCore(m.stocks.xRate));
    xRateDays_->setValue(m.stocks.xRateDays);

    maxMovies_->setValue(m.movies.maxMovies);
    SetChoice(moviesCountry_, m.movies.langMovies);
}

void CMainDialog::CollectControls() { CollectControlsInto(settings_.main); }

void CMainDialog::CollectControlsInto(MainSettings& m) {
    m.weather.download = Section(TopicId::Weather).box->isChecked();
    m.news.download = Section(TopicId::News).box->isChecked();
    m.stocks.download = Section(TopicId::Stocks).box->isChecked();
    m.movies.download = Section(TopicId::Movies).box->isChecked();

    m.weather.forecastUsa = forecastUsa_->value();
    m.weather.forecastEuro = forecastEuro_->value();
    CollectChoice(language_, m.weather.language);
    m.weather.zip = ToCore(Controls(CodeListKind::Area).field->text());
    m.weather.cityCode = ToCore(Controls(CodeListKind::City).field->text());

    m.news.nbNews = headlines_->value();
    m.news.world = categoryBoxes_[0]->isChecked();
    m.news.tech = categoryBoxes_[1]->isChecked();
    m.news.sport = categoryBoxes_[2]->isChecked();
    CollectChoice(categorySources_[0], m.news.worldLang);
    CollectChoice(categorySources_[1], m.news.techLang);
    CollectChoice(categorySources_[2], m.news.sportLang);

    m.stocks.symbols = ToCore(symbols_->text());
    m.stocks.xRate = ToCore(Controls(CodeListKind::Rate).field->text());
    m.stocks.xRateDays = xRateDays_->value();

    m.movies.maxMovies = maxMovies_->value();
    CollectChoice(moviesCountry_, m.movies.langMovies);
}

void CMainDialog::ApplyTopicBox(TopicId topic, bool focusNext) {
    bool& selected = TopicOf(topic).files(settings_).download;
    // The group box itself enables and disables the controls it holds.
    Section(topic).Apply(selected, focusNext);
    UpdateDownloadButton();
    if (topic == TopicId::News && selected) ApplyNewsSourceRule();
}

void CMainDialog::ApplyNewsSourceRule() {
    for (int i = 0; i < 3; ++i) categorySources_[i]->setEnabled(categoryBoxes_[i]->isChecked());
}

void CMainDialog::UpdateDownloadButton() { downloadButton_->setEnabled(AnyTopicSelected(settings_)); }

void CMainDialog::FillCodeList(CodeListKind kind) {
    QComboBox* entries = Controls(kind).entries;
    entries->clear();
    QStringList items;
    for (const std::string& entry : ReadCodeList(kind)) items.append(FromCore(entry));
    entries->addItems(items);
    entries->setCurrentIndex(items.isEmpty() ? -1 : 0);
}

void CMainDialog::AddCode(CodeListKind kind) {
    FillCodeListsOnce();
    const CodeListControls& controls = Controls(kind);
    const std::string code = controls.entries->currentIndex() < 0
                                 ? std::string()
                                 : CodeOfEntry(kind, ToCore(controls.entries->currentText()));
    if (code.empty()) {
        boxes_.Beep();
        controls.entries->setFocus();
        return;
    }
    std::string field = ToCore(controls.field->text());
    if (!AddCodeToField(field, code, CodeFieldMax(kind))) {
        boxes_.Warn(this, ProgramTitle(),
                    QStringLiteral("The list is full: the settings file keeps at most %1 characters of it.\n"
                                   "Remove a code first.")
                        .arg(CodeFieldMax(kind)));
        controls.entries->setFocus();
        return;
    }
    ShowCodeList(controls.field, FromCore(field));
}

void CMainDialog::RemoveCode(CodeListKind kind) {
    FillCodeListsOnce();
    const CodeListControls& controls = Controls(kind);
    const std::string code = controls.entries->currentIndex() < 0
                                 ? std::string()
                                 : CodeOfEntry(kind, ToCore(controls.entries->currentText()));
    std::string field = ToCore(controls.field->text());
    if (!RemoveCodeFromField(field, code)) {
        boxes_.Beep();
        controls.entries->setFocus();
        return;
    }
    ShowCodeList(controls.field, FromCore(field));
}

void CMainDialog::OpenRawCopy() {
    const QString path = PathText(GetExeFolder() + "download.txt");
    if (!QFileInfo::exists(path)) {
        boxes_.Inform(this, ProgramTitle(), QStringLiteral("There is no last page fetched (%1) to show.").arg(path));
        viewButton_->setEnabled(false);
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
        boxes_.Warn(this, ProgramTitle(), QStringLiteral("This desktop has no program to open %1.").arg(path));
    }
}

bool CMainDialog::IsRunning() const { return run_->IsRunning(); }

void CMainDialog::OnDownload() {
    if (IsRunning()) {
        run_->Stop();
        return;
    }
    CollectControls();
    // Symbols from a hand-edited file never went through the field's check.
    if (settings_.main.stocks.download) {
        if (const std::string refused = RefusedSymbolCharacters(settings_.main.stocks.symbols); !refused.empty()) {
            boxes_.Warn(this, ProgramTitle(), SymbolsRefusal(refused));
            FocusRefusedField(symbols_);
            return;
        }
    }
    // The time-outs live in another dialog: the message says which.
    if (!CheckMainWindowRanges(settings_.main)) {
        if (const auto violation = CheckGeneralRanges(settings_.general)) {
            boxes_.Warn(this, ProgramTitle(), CGeneralSettingsDialog::NamedRangeMessage(*violation));
            return;
        }
    }
    closeRequested_ = false;
    diagnostics_->clear();
    ShowRunning(true);
    run_->Start(settings_);
}

void CMainDialog::ShowRunning(bool running) {
    downloadButton_->setText(running ? QStringLiteral("S&top") : QStringLiteral("&Download"));
    for (QWidget* widget : {static_cast<QWidget*>(settingsButton_), static_cast<QWidget*>(moreButton_),
                            static_cast<QWidget*>(rexInfoButton_), static_cast<QWidget*>(aboutButton_)}) {
        widget->setEnabled(!running);
    }
    for (TopicId topic : kTopicsHere) {
        Section(topic).box->setEnabled(!running);
    }
    if (!running) UpdateDownloadButton();
}

void CMainDialog::ShowSourceHealth() {
    const std::string text = AttentionText(FailingSources(ReadRunLog(GetExeFolder())).size());
    attentionButton_->setText(FromCore(text));
    attentionButton_->setVisible(!text.empty());
}

void CMainDialog::OnRunFinished(RunOutcome outcome) {
    ShowRunning(false);
    ShowSourceHealth();
    if (outcome.end == RunEnd::Refused) {
        if (const auto violation = CheckMainWindowRanges(settings_.main)) FocusRefusedField(FieldOf(*violation));
    }
    emit DownloadFinished(outcome);
    // The run asked for the close; it is handled now that the run has returned.
    if (closeRequested_) QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
}

QWidget* CMainDialog::FieldOf(const RangeViolation& violation) const {
    switch (violation.field) {
    case RangedField::ForecastUsa:
        return forecastUsa_;
    case RangedField::Headlines:
        return headlines_;
    case RangedField::ForecastEuro:
        return forecastEuro_;
    case RangedField::XRateDays:
        return xRateDays_;
    default:  // the time-outs belong to the general settings dialog
        break;
    }
    return forecastUsa_;
}

void CMainDialog::SetStatus(const std::string& text) {
    const QString shown = FromCore(text);
    statusLabel_->setText(shown);
    statusLabel_->setToolTip(shown);
}

void CMainDialog::ShowDiagnostic(std::string_view line) { diagnostics_->appendPlainText(FromCore(line)); }

void CMainDialog::SetProgressRange(int low, int high) { progressBar_->setRange(low, high); }

void CMainDialog::SetProgressPosition(int position) { progressBar_->setValue(position); }

void CMainDialog::EnableViewButton(bool enabled) { viewButton_->setEnabled(enabled); }

void CMainDialog::ShowMessage(std::string_view caption, std::string_view text, MessageIcon icon) {
    if (icon == MessageIcon::Information) {
        boxes_.Inform(this, FromCore(caption), FromCore(text));
    } else {
        boxes_.Warn(this, FromCore(caption), FromCore(text));
    }
}

void CMainDialog::SetWaitCursor(bool on) {
    if (on == waitCursor_) return;
    waitCursor_ = on;
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void CMainDialog::RequestClose() { closeRequested_ = true; }

void CMainDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Started with "/autorun": the run begins once the window is on the screen.
    if (g_autoRun && !autoRunPosted_) {
        autoRunPosted_ = true;
        QMetaObject::invokeMethod(this, &CMainDialog::OnDownload, Qt::QueuedConnection);
    }
}

bool CMainDialog::event(QEvent* event) {
    const bool handled = QDialog::event(event);
    // Once the window has been drawn, the code lists are read.
    if (event->type() == QEvent::Paint && !codeListsFilled_ && !codeListsPosted_) {
        codeListsPosted_ = true;
        QMetaObject::invokeMethod(this, &CMainDialog::FillCodeListsOnce, Qt::QueuedConnection);
    }
    return handled;
}

void CMainDialog::done(int result) {
    if (closing_) return;
    if (IsRunning()) {
        // Closed once the run has returned (OnRunFinished).
        if (!closeRequested_ &&
            boxes_.Ask(this, ProgramTitle(), QStringLiteral("A download is in progress.\nStop it and exit Tidepost?"),
                       MessageBoxes::AskStyle::Caution)) {
            closeRequested_ = true;
            run_->Stop();
        }
        return;
    }
    closing_ = true;
    const bool close = SaveOnClose();
    closing_ = false;
    if (close) QDialog::done(result);
}

bool CMainDialog::SaveOnClose() {
    CollectControls();
    // A refused number is reported but does not keep the window open.
    if (const auto violation = CheckMainWindowRanges(settings_.main)) {
        boxes_.Warn(this, ProgramTitle(), FromCore(RangeMessage(*violation)));
    }
    if (!settings_.general.saveOnExit) {
        switch (boxes_.AskOrCancel(this, ProgramTitle(),
                                   QStringLiteral("Would you like to save Tidepost current settings ?"))) {
        case MessageBoxes::Choice::Cancel:
            return false;
        case MessageBoxes::Choice::No:
            return true;
        case MessageBoxes::Choice::Yes:
            break;
        }
    }
    while (!WriteSettings(settings_)) {
        const bool retry = boxes_.AskRetry(
            this, ProgramTitle(),
            QStringLiteral("Tidepost could not save its settings; the settings file was left as it was.\n\n%1")
                .arg(QString::fromLocal8Bit(g_lastError)));
        if (!retry) return false;
    }
    return true;
}

// "Custom..." edits a topic's file names in place; "..." edits a code file.
void CMainDialog::ConnectEditButtons() {
    for (TopicId topic : kTopicsHere) {
        connect(Section(topic).custom, &QPushButton::clicked, this, [this, topic] {
            // A source is tested with the codes the window shows now.
            Settings shown = settings_;
            CollectControlsInto(shown.main);
            const TopicFiles files = TopicOf(topic).files(settings_);
            EditTopicCustomization(this, boxes_, shown, TopicOf(topic).name, files.icon, files.templateName);
        });
    }
    for (const CodeListControls& list : codeLists_) {
        connect(list.edit, &QPushButton::clicked, this, [this, kind = list.kind] {
            if (EditCodeListFile(this, boxes_, kind)) FillCodeList(kind);
        });
    }
}

}  // namespace tp
