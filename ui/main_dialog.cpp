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
#include "ui/dialog_units.h"
#include "ui/general_settings_dialog.h"
#include "ui/input_blocker.h"
#include "ui/link_browser_dialog.h"
#include "ui/message_boxes.h"
#include "ui/more_downloads_dialog.h"
#include "ui/spin_field.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace tp {
namespace {

// "List of symbols :" takes at most this many characters as typed.
constexpr int kSymbolsMaxTyped = 512;

const QString kTitle = QStringLiteral("Tidepost");

// Stock symbols are typed in capitals.
class UpperCaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& /*pos*/) const override {
        input = input.toUpper();
        return Acceptable;
    }
};

QLabel* NewLabel(const QString& text) { return new QLabel(text); }

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
    ReadSettings(settings_);

    codeLists_.reserve(3);
    BuildControls();
    ConnectEditButtons();
    FillControls();
    for (Topic topic : {kStocks, kNews, kMovies, kWeather}) ApplyTopicBox(topic, false);
    for (const CodeListControls& list : codeLists_) FillCodeList(list.kind);

    setWindowIcon(QIcon(QStringLiteral(":/pictures/128.svg")));
    setWindowTitle(FromCore(LoadStringResource(kVersionText)));

    run_ = new BackgroundRun(*this, this);
    connect(run_, &BackgroundRun::Finished, this, &CMainDialog::OnRunFinished);
    blocker_ = new InputBlocker(*this);
    blocker_->setParent(this);

    generalDialog_ = new CGeneralSettingsDialog(boxes_, settings_.general, this);
    connect(settingsButton_, &QPushButton::clicked, generalDialog_, &QDialog::exec);
    moreDialog_ = new CMoreDownloadsDialog(boxes_, settings_.more, this);
    connect(moreButton_, &QPushButton::clicked, this, [this] {
        if (moreDialog_->exec() == QDialog::Accepted) UpdateDownloadButton();
    });
    // The further topics' "Custom..." buttons run the same flow over the file
    // names the more-downloads dialog holds.
    connect(moreDialog_, &CMoreDownloadsDialog::CustomizeTopic, this, [this](const QString& topic) {
        EditTopicCustomization(moreDialog_, boxes_, settings_.general.customWarnings, ToCore(topic),
                               moreDialog_->IconFileName(topic), moreDialog_->TemplateFileName(topic));
    });

    resize(sizeHint().expandedTo(DialogUnitsToPixels(*this, 438, 327)));
}

CMainDialog::~CMainDialog() {
    if (waitCursor_) QApplication::restoreOverrideCursor();
}

template <class W>
W* CMainDialog::InOrder(W* widget) {
    dialogOrder_.push_back(widget);
    return widget;
}

void CMainDialog::BuildControls() {
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

    auto* top = new QHBoxLayout(this);
    top->addLayout(left, 1);
    top->addWidget(buttons);
    ApplyTabOrder();
}

QWidget* CMainDialog::BuildButtonColumn() {
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    auto add = [&](const QString& text, const char* name) {
        auto* button = InOrder(new QPushButton(text));
        button->setObjectName(QLatin1String(name));
        button->setAutoDefault(false);
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
        auto* links = new CLinkBrowserDialog(this);
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
    auto* frame = InOrder(new QGroupBox(QStringLiteral("Status")));
    frame->setObjectName(QStringLiteral("statusGroupBox"));
    auto* grid = new QGridLayout(frame);

    statusLabel_ = InOrder(new QLabel);
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

    viewButton_ = InOrder(NewSmallButton(QStringLiteral(">>"), QStringLiteral("viewPushButton")));
    viewButton_->setEnabled(false);
    viewButton_->setToolTip(QStringLiteral("Show the last page fetched"));
    connect(viewButton_, &QPushButton::clicked, this, &CMainDialog::OpenRawCopy);
    grid->addWidget(viewButton_, 0, 2);

    progressBar_ = InOrder(new QProgressBar);
    progressBar_->setObjectName(QStringLiteral("progressBar"));
    progressBar_->setRange(0, tp::kTopicCount);
    progressBar_->setValue(0);
    progressBar_->setTextVisible(false);
    grid->addWidget(NewLabel(QStringLiteral("Progress :")), 1, 0);
    grid->addWidget(progressBar_, 1, 1, 1, 2);

    attentionButton_ = new QPushButton;
    attentionButton_->setObjectName(QStringLiteral("attentionPushButton"));
    attentionButton_->setAutoDefault(false);
    attentionButton_->setToolTip(QStringLiteral("Show the sources that failed in each of their last downloads"));
    connect(attentionButton_, &QPushButton::clicked, this, [this] {
        const std::vector<FailingSource> failing = FailingSources(ReadRunLog(GetExeFolder()));
        boxes_.Inform(this, kTitle, FromCore(FailingSourcesDetails(failing)));
    });
    grid->addWidget(attentionButton_, 2, 1, 1, 2, Qt::AlignLeft);
    grid->setColumnStretch(1, 1);
    ShowSourceHealth();
    return frame;
}

QGroupBox* CMainDialog::NewTopicBox(Topic topic, const QString& title, const char* name,
                                    int onPicture, int offPicture, QVBoxLayout*& contents) {
    TopicSection& section = topics_[topic];
    static_cast<TopicFrame&>(section) = NewTopicFrame(title, name, onPicture, offPicture);
    InOrder(section.box);
    connect(section.box, &QGroupBox::clicked, this, [this, topic] { ApplyTopicBox(topic, true); });

    auto* row = new QHBoxLayout(section.box);
    row->addWidget(section.picture, 0, Qt::AlignTop);
    auto* column = new QVBoxLayout;
    row->addLayout(column, 1);
    contents = column;
    return section.box;
}

void CMainDialog::AddCustomButton(Topic topic, const char* name, QVBoxLayout& contents) {
    QPushButton* custom = InOrder(new QPushButton(QStringLiteral("Custom...")));
    custom->setObjectName(QLatin1String(name) + QStringLiteral("CustomPushButton"));
    custom->setAutoDefault(false);
    contents.addWidget(custom, 0, Qt::AlignRight);
    topics_[topic].custom = custom;
}

QPushButton* CMainDialog::NewHelpButton(int textId, const char* name) {
    QPushButton* button = InOrder(NewSmallButton(QStringLiteral("?"), QLatin1String(name)));
    connect(button, &QPushButton::clicked, this, [this, textId] { OpenHelp(textId, this); });
    return button;
}

// "Area Code :" with its entries, "+", "-" and "..."; the list field of the
// same kind comes later in dialog order and is added by the section.
QWidget* CMainDialog::NewCodeListRow(CodeListKind kind, const QString& entriesLabel, const QString& prefix) {
    CodeListControls controls{kind};
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(NewLabel(entriesLabel));
    controls.entries = InOrder(new QComboBox);
    controls.entries->setObjectName(prefix + QStringLiteral("ComboBox"));
    // Entries of any length must not widen the window.
    controls.entries->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    controls.entries->setMinimumContentsLength(14);
    layout->addWidget(controls.entries, 1);
    QPushButton* add = InOrder(NewSmallButton(QStringLiteral("+"), prefix + QStringLiteral("AddPushButton")));
    QPushButton* remove =
        InOrder(NewSmallButton(QStringLiteral("-"), prefix + QStringLiteral("RemovePushButton")));
    controls.edit = InOrder(NewSmallButton(QStringLiteral("..."), prefix + QStringLiteral("EditPushButton")));
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
    QGroupBox* box = NewTopicBox(kWeather, QStringLiteral("&Weather"), "weather", 132, 136, contents);

    auto numberRow = [this](CSpinField*& field, int low, int high, const char* name,
                            const QString& unit) {
        auto* row = new QHBoxLayout;
        row->addWidget(NewLabel(QStringLiteral("Forecast :")));
        field = InOrder(new CSpinField(low, high));
        field->setObjectName(QLatin1String(name));
        row->addWidget(field);
        row->addWidget(NewLabel(unit));
        return row;
    };
    auto fieldRow = [this](CodeListKind kind, const QString& label, const QString& prefix) {
        CodeListControls& controls = Controls(kind);
        auto* row = new QHBoxLayout;
        row->addWidget(NewLabel(label));
        controls.field = InOrder(new QLineEdit);
        controls.field->setObjectName(prefix + QStringLiteral("LineEdit"));
        controls.field->setReadOnly(true);
        row->addWidget(controls.field, 1);
        QPushButton* clear = InOrder(NewSmallButton(QStringLiteral("C"), prefix + QStringLiteral("ClearPushButton")));
        connect(clear, &QPushButton::clicked, controls.field, &QLineEdit::clear);
        row->addWidget(clear);
        return row;
    };

    auto* usa = InOrder(new QGroupBox(QStringLiteral("USA")));
    usa->setObjectName(QStringLiteral("usaGroupBox"));
    auto* usaLayout = new QVBoxLayout(usa);
    QHBoxLayout* usaDays = numberRow(forecastUsa_, 1, 10, "forecastUsaSpinField", QStringLiteral("days (1...10)"));
    usaDays->addStretch(1);
    usaDays->addWidget(NewHelpButton(kHelpZipCodes, "zipHelpPushButton"));
    usaLayout->addLayout(usaDays);
    usaLayout->addWidget(NewCodeListRow(CodeListKind::Area, QStringLiteral("Area Code :"),
                                        QStringLiteral("areaCode")));
    usaLayout->addLayout(fieldRow(CodeListKind::Area, QStringLiteral("List of Area Codes :"),
                                  QStringLiteral("areaCodes")));

    auto* europe = InOrder(new QGroupBox(QStringLiteral("Europe")));
    europe->setObjectName(QStringLiteral("europeGroupBox"));
    auto* europeLayout = new QVBoxLayout(europe);
    QHBoxLayout* euroDays = numberRow(forecastEuro_, 1, 5, "forecastEuroSpinField", QStringLiteral("days (1...5)"));
    euroDays->addStretch(1);
    euroDays->addWidget(NewLabel(QStringLiteral("Language :")));
    language_ = InOrder(NewChoiceList(WeatherLanguageNames(), QStringLiteral("languageComboBox")));
    euroDays->addWidget(language_);
    euroDays->addWidget(NewHelpButton(kHelpCityCodes, "cityHelpPushButton"));
    europeLayout->addLayout(euroDays);
    europeLayout->addWidget(NewCodeListRow(CodeListKind::City, QStringLiteral("City Code :"),
                                           QStringLiteral("cityCode")));
    europeLayout->addLayout(fieldRow(CodeListKind::City, QStringLiteral("List of City Codes :"),
                                     QStringLiteral("cityCodes")));

    contents->addWidget(usa);
    contents->addWidget(europe);
    AddCustomButton(kWeather, "weather", *contents);
    return box;
}

QWidget* CMainDialog::BuildNewsSection() {
    QVBoxLayout* contents = nullptr;
    QGroupBox* box = NewTopicBox(kNews, QStringLiteral("&News"), "news", 130, 134, contents);
    auto* grid = new QGridLayout;
    grid->addWidget(NewLabel(QStringLiteral("Headlines :")), 0, 0);
    auto* count = new QHBoxLayout;
    headlines_ = InOrder(new CSpinField(1, 10));
    headlines_->setObjectName(QStringLiteral("headlinesSpinField"));
    count->addWidget(headlines_);
    count->addWidget(NewLabel(QStringLiteral("news (1...10)")));
    count->addStretch(1);
    grid->addLayout(count, 0, 1, 1, 2);

    const struct {
        const char* label;
        const char* name;
    } categories[] = {{"World News :", "worldNews"}, {"Technology News :", "techNews"}, {"Sport News :", "sportNews"}};
    for (int i = 0; i < 3; ++i) {
        categoryBoxes_[i] = InOrder(new QCheckBox(QLatin1String(categories[i].label)));
        categoryBoxes_[i]->setObjectName(QLatin1String(categories[i].name) + QStringLiteral("CheckBox"));
        categorySources_[i] = InOrder(NewChoiceList(
            SourceCountryNames(), QLatin1String(categories[i].name) + QStringLiteral("FromComboBox")));
        connect(categoryBoxes_[i], &QCheckBox::clicked, this, [this, i](bool on) {
            if (topics_[kNews].box->isChecked()) categorySources_[i]->setEnabled(on);
        });
        grid->addWidget(categoryBoxes_[i], i + 1, 0);
        grid->addWidget(NewLabel(QStringLiteral("from :")), i + 1, 1, Qt::AlignRight);
        grid->addWidget(categorySources_[i], i + 1, 2);
    }
    grid->setColumnStretch(2, 1);
    contents->addLayout(grid);
    AddCustomButton(kNews, "news", *contents);
    return box;
}

QWidget* CMainDialog::BuildStocksSection() {
    QVBoxLayout* contents = nullptr;
    QGroupBox* box = NewTopicBox(kStocks, QStringLiteral("&Stocks"), "stocks", 129, 133, contents);
    QVBoxLayout* column = contents;

    auto* symbolsRow = new QHBoxLayout;
    symbolsRow->addWidget(NewLabel(QStringLiteral("List of symbols :")));
    symbols_ = InOrder(new QLineEdit);
    symbols_->setObjectName(QStringLiteral("symbolsLineEdit"));
    symbols_->setValidator(new UpperCaseValidator(symbols_));
    symbolsRow->addWidget(symbols_, 1);
    column->addLayout(symbolsRow);
    auto* noteRow = new QHBoxLayout;
    noteRow->addStretch(1);
    noteRow->addWidget(NewLabel(QStringLiteral("(Max. 50 stocks)")));
    noteRow->addWidget(NewHelpButton(kHelpStocks, "stocksHelpPushButton"));
    column->addLayout(noteRow);

    column->addWidget(NewCodeListRow(CodeListKind::Rate, QStringLiteral("Exchange Rate :"),
                                     QStringLiteral("rate")));
    auto* daysRow = new QHBoxLayout;
    daysRow->addWidget(NewLabel(QStringLiteral("Exchange Rate History :")));
    xRateDays_ = InOrder(new CSpinField(1, 30));
    xRateDays_->setObjectName(QStringLiteral("xRateDaysSpinField"));
    daysRow->addWidget(xRateDays_);
    daysRow->addWidget(NewLabel(QStringLiteral("days (1...30)")));
    daysRow->addStretch(1);
    column->addLayout(daysRow);

    CodeListControls& rates = Controls(CodeListKind::Rate);
    auto* ratesRow = new QHBoxLayout;
    ratesRow->addWidget(NewLabel(QStringLiteral("List of Rates :")));
    rates.field = InOrder(new QLineEdit);
    rates.field->setObjectName(QStringLiteral("ratesLineEdit"));
    rates.field->setReadOnly(true);
    ratesRow->addWidget(rates.field, 1);
    QPushButton* clear = InOrder(NewSmallButton(QStringLiteral("C"), QStringLiteral("ratesClearPushButton")));
    connect(clear, &QPushButton::clicked, rates.field, &QLineEdit::clear);
    ratesRow->addWidget(clear);
    column->addLayout(ratesRow);
    column->addStretch(1);

    AddCustomButton(kStocks, "stocks", *column);
    return box;
}

QWidget* CMainDialog::BuildMoviesSection() {
    QVBoxLayout* contents = nullptr;
    QGroupBox* box = NewTopicBox(kMovies, QStringLiteral("&Movies"), "movies", 131, 135, contents);
    QVBoxLayout* column = contents;
    column->addWidget(NewLabel(QStringLiteral("Coming soon in theatres")));
    auto* row = new QHBoxLayout;
    row->addWidget(NewLabel(QStringLiteral("Max. :")));
    maxMovies_ = InOrder(new CSpinField(1, 10));
    maxMovies_->setObjectName(QStringLiteral("maxMoviesSpinField"));
    row->addWidget(maxMovies_);
    row->addWidget(NewLabel(QStringLiteral("movies (1...10)")));
    row->addStretch(1);
    row->addWidget(NewLabel(QStringLiteral("Country :")));
    moviesCountry_ = InOrder(NewChoiceList(SourceCountryNames(), QStringLiteral("moviesCountryComboBox")));
    row->addWidget(moviesCountry_);
    column->addLayout(row);
    AddCustomButton(kMovies, "movies", *column);
    return box;
}

void CMainDialog::ApplyTabOrder() {
    QWidget* previous = nullptr;
    for (QWidget* widget : dialogOrder_) {
        if (widget->focusPolicy() == Qt::NoFocus) continue;
        if (previous) setTabOrder(previous, widget);
        previous = widget;
    }
}

CMainDialog::CodeListControls& CMainDialog::Controls(CodeListKind kind) {
    return *std::find_if(codeLists_.begin(), codeLists_.end(),
                         [kind](const CodeListControls& c) { return c.kind == kind; });
}

void CMainDialog::FillControls() {
    const MainSettings& m = settings_.main;
    topics_[kWeather].box->setChecked(m.weather.download);
    topics_[kNews].box->setChecked(m.news.download);
    topics_[kStocks].box->setChecked(m.stocks.download);
    topics_[kMovies].box->setChecked(m.movies.download);

    forecastUsa_->setValue(m.weather.forecastUsa);
    forecastEuro_->setValue(m.weather.forecastEuro);
    SetChoice(language_, m.weather.language);
    Controls(CodeListKind::Area).field->setText(FromCore(m.weather.zip));
    Controls(CodeListKind::City).field->setText(FromCore(m.weather.cityCode));

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
    Controls(CodeListKind::Rate).field->setText(FromCore(m.stocks.xRate));
    xRateDays_->setValue(m.stocks.xRateDays);

    maxMovies_->setValue(m.movies.maxMovies);
    SetChoice(moviesCountry_, m.movies.langMovies);
}

void CMainDialog::CollectControls() {
    MainSettings& m = settings_.main;
    m.weather.download = topics_[kWeather].box->isChecked();
    m.news.download = topics_[kNews].box->isChecked();
    m.stocks.download = topics_[kStocks].box->isChecked();
    m.movies.download = topics_[kMovies].box->isChecked();

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

void CMainDialog::ApplyTopicBox(Topic topic, bool focusNext) {
    TopicSection& section = topics_[topic];
    const bool on = section.box->isChecked();
    bool* flags[] = {&settings_.main.weather.download, &settings_.main.news.download,
                     &settings_.main.stocks.download, &settings_.main.movies.download};
    *flags[topic] = on;
    // The group box itself enables and disables the controls it holds.
    if (on && focusNext) {
        section.box->setFocus();
        focusNextChild();
    }
    UpdateDownloadButton();
    section.ShowState();
    if (topic == kNews && on) ApplyNewsSourceRule();
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
        boxes_.Warn(this, kTitle,
                    QStringLiteral("The list is full: the settings file keeps at most %1 characters of it.\n"
                                   "Remove a code first.")
                        .arg(CodeFieldMax(kind)));
        controls.entries->setFocus();
        return;
    }
    controls.field->setText(FromCore(field));
}

void CMainDialog::RemoveCode(CodeListKind kind) {
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
    controls.field->setText(FromCore(field));
}

void CMainDialog::OpenRawCopy() {
    const QUrl file = QUrl::fromLocalFile(PathText(GetExeFolder() + "download.txt"));
    if (!QDesktopServices::openUrl(file)) boxes_.Beep();
}

bool CMainDialog::IsRunning() const { return run_->IsRunning(); }

void CMainDialog::OnDownload() {
    if (IsRunning()) return;
    CollectControls();
    closeRequested_ = false;
    blocker_->SetBlocking(true);
    run_->Start(settings_);
}

void CMainDialog::ShowSourceHealth() {
    const std::string text = AttentionText(FailingSources(ReadRunLog(GetExeFolder())).size());
    attentionButton_->setText(FromCore(text));
    attentionButton_->setVisible(!text.empty());
}

void CMainDialog::OnRunFinished(RunOutcome outcome) {
    blocker_->SetBlocking(false);
    ShowSourceHealth();
    if (outcome.end == RunEnd::Refused) {
        if (const auto violation = CheckMainWindowRanges(settings_.main)) FieldOf(*violation)->setFocus();
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

void CMainDialog::done(int result) {
    if (IsRunning() || closing_) return;
    closing_ = true;
    SaveOnClose();
    QDialog::done(result);
}

void CMainDialog::SaveOnClose() {
    CollectControls();
    // A refused number is reported but does not keep the window open.
    if (const auto violation = CheckMainWindowRanges(settings_.main)) {
        boxes_.Warn(this, kTitle, FromCore(RangeMessage(*violation)));
    }
    const bool save = settings_.general.saveOnExit ||
                      boxes_.Ask(this, kTitle, QStringLiteral("Would you like to save Tidepost current settings ?"));
    if (save && !WriteSettings(settings_)) {
        boxes_.Warn(this, kTitle,
                    QStringLiteral("Tidepost could not save its settings; the settings file was left as it "
                                   "was.\n\n%1")
                        .arg(QString::fromLocal8Bit(g_lastError)));
    }
}

// "Custom..." edits a topic's file names in place; "..." edits a code file.
void CMainDialog::ConnectEditButtons() {
    MainSettings& m = settings_.main;
    const struct {
        Topic topic;
        const char* name;
        std::string* icon;
        std::string* xml;
    } custom[] = {{kWeather, "Weather", &m.weather.icon, &m.weather.xmlUsa},
                  {kNews, "News", &m.news.icon, &m.news.xml},
                  {kStocks, "Stocks", &m.stocks.icon, &m.stocks.xml},
                  {kMovies, "Movies", &m.movies.icon, &m.movies.xml}};
    for (const auto& c : custom) {
        connect(topics_[c.topic].custom, &QPushButton::clicked, this, [this, c] {
            EditTopicCustomization(this, boxes_, settings_.general.customWarnings, c.name, *c.icon, *c.xml);
        });
    }
    for (const CodeListControls& list : codeLists_) {
        connect(list.edit, &QPushButton::clicked, this, [this, kind = list.kind] {
            if (EditCodeListFile(this, boxes_, kind)) FillCodeList(kind);
        });
    }
}

}  // namespace tp
