#include "ui/more_downloads_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/globals.h"
#include "app/paths.h"
#include "resources/string_table.h"
#include "settings/choice_lists.h"
#include "settings/itineraries.h"
#include "settings/more_downloads_check.h"
#include "settings/sign_list.h"
#include "topics/email.h"
#include "ui/bitmap_static.h"
#include "ui/core_text.h"
#include "ui/dialog_controls.h"
#include "ui/dialog_kit.h"
#include "ui/message_boxes.h"

namespace tp {
namespace {

constexpr TopicId kTopicsHere[] = {TopicId::Directions, TopicId::Astro, TopicId::Email};

constexpr QSize kIconSize{32, 32};

QLineEdit* NewLineEdit(const char* name) {
    auto* edit = new QLineEdit;
    edit->setObjectName(QLatin1String(name));
    return edit;
}

// A frame whose contents are laid out in a grid.
QGroupBox* NewFrame(const QString& title, const char* name, QGridLayout*& grid) {
    auto* frame = new QGroupBox(title);
    frame->setObjectName(QLatin1String(name));
    grid = new QGridLayout(frame);
    return frame;
}

}  // namespace

CMoreDownloadsDialog::CMoreDownloadsDialog(MessageBoxes& boxes, Settings& settings,
                                           QWidget* parent)
    : QDialog(parent), boxes_(boxes), settings_(settings) {
    setObjectName(QStringLiteral("moreDownloadsDialog"));
    setWindowTitle(QStringLiteral("Tidepost More Downloads"));
    setModal(true);
    BuildControls();
}

QPushButton* CMoreDownloadsDialog::NewButton(const QString& text, const char* name, bool small) {
    return order_.Add(small ? NewSmallButton(text, QLatin1String(name)) : NewPushButton(text, QLatin1String(name)));
}

QPushButton* CMoreDownloadsDialog::NewCustomButton(TopicId topic) {
    const std::string name = ToCore(FromCore(TopicOf(topic).name).toLower()) + "CustomPushButton";
    QPushButton* button = NewButton(QStringLiteral("Custom..."), name.c_str(), false);
    connect(button, &QPushButton::clicked, this, [this, topic] { emit CustomizeTopic(topic); });
    return button;
}

// The topic's frame, titled and named after the topic.
QGroupBox* CMoreDownloadsDialog::NewTopicBox(TopicId topic) {
    const Topic& row = TopicOf(topic);
    TopicSection& section = Section(topic);
    section = NewTopicFrame(FromCore(row.name), ToCore(FromCore(row.name).toLower()).c_str(), row.picture,
                            row.pictureUnselected);
    order_.Add(section.box);
    order_.Add(section.picture);
    connect(section.box, &QGroupBox::clicked, this, [this, topic] { ApplyTopicBox(topic, true); });
    return section.box;
}

void CMoreDownloadsDialog::BuildControls() {
    // Built in dialog order: the tab order follows it.
    auto* buttons = new QVBoxLayout;
    QPushButton* ok = NewButton(QStringLiteral("&OK"), "okPushButton", false);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    QPushButton* cancel = NewButton(QStringLiteral("Cancel"), "cancelPushButton", false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch(1);

    auto* topicsColumn = new QVBoxLayout;
    topicsColumn->addWidget(BuildDirectionsSection());
    topicsColumn->addWidget(BuildAstroSection());
    topicsColumn->addWidget(BuildEmailSection());

    auto* icon = order_.Add(new CBitmapStatic(kIconSize));
    icon->setObjectName(QStringLiteral("iconBitmapStatic"));
    icon->SetBitmap(128);
    buttons->addWidget(icon, 0, Qt::AlignHCenter);

    auto* top = new QHBoxLayout(this);
    top->addLayout(topicsColumn, 1);
    top->addLayout(buttons);

    order_.ApplyTabOrder();
}

QWidget* CMoreDownloadsDialog::BuildDirectionsSection() {
    QGroupBox* box = NewTopicBox(TopicId::Directions);
    auto* column = new QVBoxLayout(box);
    auto* head = new QHBoxLayout;
    head->addWidget(Section(TopicId::Directions).picture);
    head->addStretch(1);
    head->addWidget(NewCustomButton(TopicId::Directions), 0,
                    Qt::AlignTop);
    column->addLayout(head);

    QGridLayout* listGrid = nullptr;
    column->addWidget(
        order_.Add(NewFrame(QStringLiteral("List of Itineraries"), "itinerariesGroupBox", listGrid)));
    listGrid->addWidget(order_.Add(new QLabel(QStringLiteral("Itinerary Name :"))), 0, 0);
    QPushButton* previous = NewButton(QStringLiteral("<- "), "itineraryPreviousPushButton");
    QPushButton* next = NewButton(QStringLiteral("->"), "itineraryNextPushButton");
    auto* steps = new QHBoxLayout;
    steps->addWidget(previous);
    steps->addWidget(next);
    steps->addStretch(1);
    steps->addWidget(order_.Add(new QLabel(QStringLiteral("(Max. %1 itineraries)").arg(kMaxItineraries))));
    listGrid->addLayout(steps, 0, 1, 1, 4);
    itineraries_ = order_.Add(new QComboBox);
    itineraries_->setObjectName(QStringLiteral("itineraryComboBox"));
    itineraries_->setEditable(true);
    itineraries_->setInsertPolicy(QComboBox::NoInsert);
    // The name is stored as typed: no completion from the listed names.
    itineraries_->setCompleter(nullptr);
    // Long names must not widen the dialog.
    itineraries_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    itineraries_->setMinimumContentsLength(20);
    listGrid->addWidget(itineraries_, 1, 0, 1, 2);
    QPushButton* help = order_.Add(NewHelpButton(kHelpDirections, QLatin1String("directionsHelpPushButton"), this));
    QPushButton* remove = NewButton(QStringLiteral("-"), "itineraryDeletePushButton");
    QPushButton* removeAll = NewButton(QStringLiteral("C"), "itineraryDeleteAllPushButton");
    listGrid->addWidget(help, 1, 2);
    listGrid->addWidget(remove, 1, 3);
    listGrid->addWidget(removeAll, 1, 4);
    listGrid->setColumnStretch(1, 1);

    QGridLayout* currentGrid = nullptr;
    column->addWidget(order_.Add(
        NewFrame(QStringLiteral("Current/New Itinary"), "currentItineraryGroupBox", currentGrid)));
    auto* countryRow = new QHBoxLayout;
    countryRow->addWidget(order_.Add(new QLabel(QStringLiteral("Country :"))));
    country_ = order_.Add(new QComboBox);
    country_->setObjectName(QStringLiteral("countryComboBox"));
    for (std::string_view name : ItineraryCountryNames()) country_->addItem(FromCore(name));
    countryRow->addWidget(country_);
    countryRow->addStretch(1);
    currentGrid->addLayout(countryRow, 0, 0, 1, 2);
    auto addressFrame = [this](const QString& title, const char* frameName, const char* addressName,
                               const char* cityName, QLineEdit*& address, QLineEdit*& city) {
        QGridLayout* grid = nullptr;
        QGroupBox* frame = order_.Add(NewFrame(title, frameName, grid));
        grid->addWidget(order_.Add(new QLabel(QStringLiteral("Address :"))), 0, 0);
        address = order_.Add(NewLineEdit(addressName));
        grid->addWidget(address, 0, 1);
        grid->addWidget(order_.Add(new QLabel(QStringLiteral("City, State :"))), 1, 0);
        city = order_.Add(NewLineEdit(cityName));
        grid->addWidget(city, 1, 1);
        return frame;
    };
    currentGrid->addWidget(
        addressFrame(QStringLiteral("From"), "fromGroupBox", "fromAddressLineEdit",
                     "fromCityLineEdit", fromAddressEdit_, fromCityEdit_),
        1, 0);
    currentGrid->addWidget(addressFrame(QStringLiteral("To"), "toGroupBox", "toAddressLineEdit",
                                        "toCityLineEdit", toAddressEdit_, toCityEdit_),
                           1, 1);
    QPushButton* store = NewButton(QStringLiteral("+"), "itineraryStorePushButton");
    QPushButton* clear = NewButton(QStringLiteral("C"), "itineraryClearPushButton");
    auto* storeRow = new QHBoxLayout;
    storeRow->addStretch(1);
    storeRow->addWidget(store);
    storeRow->addWidget(clear);
    currentGrid->addLayout(storeRow, 2, 0, 1, 2);

    connect(previous, &QPushButton::clicked, this, [this] { StepItinerary(-1); });
    connect(next, &QPushButton::clicked, this, [this] { StepItinerary(1); });
    connect(itineraries_, &QComboBox::activated, this,
            &CMoreDownloadsDialog::LoadSelectedItinerary);
    connect(remove, &QPushButton::clicked, this, &CMoreDownloadsDialog::DeleteItinerary);
    connect(removeAll, &QPushButton::clicked, this, &CMoreDownloadsDialog::DeleteAllItineraries);
    connect(store, &QPushButton::clicked, this, &CMoreDownloadsDialog::StoreItinerary);
    connect(clear, &QPushButton::clicked, this, &CMoreDownloadsDialog::ClearCurrentItinerary);
    return box;
}

QWidget* CMoreDownloadsDialog::BuildAstroSection() {
    QGroupBox* box = NewTopicBox(TopicId::Astro);
    auto* row = new QHBoxLayout(box);
    row->addWidget(Section(TopicId::Astro).picture, 0, Qt::AlignTop);
    auto* grid = new QGridLayout;
    row->addLayout(grid, 1);

    grid->addWidget(order_.Add(new QLabel(QStringLiteral("Zodiac sign :"))), 0, 0);
    signPicker_ = order_.Add(new QComboBox);
    signPicker_->setObjectName(QStringLiteral("signComboBox"));
    for (std::string_view entry : kZodiacSignEntries) signPicker_->addItem(FromCore(entry));
    grid->addWidget(signPicker_, 0, 1);
    QPushButton* add = NewButton(QStringLiteral("+"), "signAddPushButton");
    QPushButton* remove = NewButton(QStringLiteral("-"), "signRemovePushButton");
    grid->addWidget(add, 0, 2);
    grid->addWidget(remove, 0, 3);
    grid->addWidget(order_.Add(new QLabel(QStringLiteral("List of signs :"))), 1, 0);
    signsEdit_ = order_.Add(NewLineEdit("signsLineEdit"));
    signsEdit_->setReadOnly(true);
    grid->addWidget(signsEdit_, 1, 1);
    QPushButton* clear = NewButton(QStringLiteral("C"), "signsClearPushButton");
    grid->addWidget(clear, 1, 2);
    grid->addWidget(order_.Add(NewHelpButton(kHelpAstro, QLatin1String("astroHelpPushButton"), this)), 1, 3);
    grid->setColumnStretch(1, 1);
    row->addWidget(NewCustomButton(TopicId::Astro), 0,
                   Qt::AlignBottom);

    connect(add, &QPushButton::clicked, this, [this] { EditSigns(&AddSign); });
    connect(remove, &QPushButton::clicked, this, [this] { EditSigns(&RemoveSign); });
    connect(clear, &QPushButton::clicked, this, &CMoreDownloadsDialog::ClearSignList);
    return box;
}

QWidget* CMoreDownloadsDialog::BuildEmailSection() {
    QGroupBox* box = NewTopicBox(TopicId::Email);
    auto* row = new QHBoxLayout(box);
    row->addWidget(Section(TopicId::Email).picture, 0, Qt::AlignTop);
    QPushButton* custom = NewCustomButton(TopicId::Email);
    auto* grid = new QGridLayout;
    row->addLayout(grid, 1);
    grid->addWidget(
        order_.Add(new QLabel(QStringLiteral("List of emails and memos available for download:"))), 0,
        0);
    grid->addWidget(order_.Add(new QLabel(QStringLiteral("(Max. %1 emails)").arg(kEmailSlots))), 0, 1, 1, 3,
                    Qt::AlignRight);
    emailList_ = order_.Add(new QComboBox);
    emailList_->setObjectName(QStringLiteral("emailComboBox"));
    emailList_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    emailList_->setMinimumContentsLength(20);
    grid->addWidget(emailList_, 1, 0);
    QPushButton* remove = NewButton(QStringLiteral("-"), "emailDeletePushButton");
    QPushButton* removeAll = NewButton(QStringLiteral("C"), "emailDeleteAllPushButton");
    grid->addWidget(remove, 1, 1);
    grid->addWidget(removeAll, 1, 2);
    grid->addWidget(order_.Add(NewHelpButton(kHelpEmail, QLatin1String("emailHelpPushButton"), this)), 1, 3);
    grid->setColumnStretch(0, 1);
    row->addWidget(custom, 0, Qt::AlignBottom);

    connect(remove, &QPushButton::clicked, this, &CMoreDownloadsDialog::DeleteEmailFile);
    connect(removeAll, &QPushButton::clicked, this, &CMoreDownloadsDialog::DeleteAllEmailFiles);
    return box;
}

void CMoreDownloadsDialog::setVisible(bool visible) {
    if (visible && !isVisible()) InitDialog();
    QDialog::setVisible(visible);
}

void CMoreDownloadsDialog::InitDialog() {
    for (TopicId topic : kTopicsHere) {
        openedWith_[static_cast<std::size_t>(topic)] = TopicOf(topic).files(settings_).download;
    }
    FillControls();
    for (TopicId topic : kTopicsHere) ApplyTopicBox(topic, false);
    FillEmailList();
    FillItineraryList();
    LoadSelectedItinerary();
    signPicker_->setCurrentIndex(0);
}

void CMoreDownloadsDialog::FillControls() {
    Section(TopicId::Directions).box->setChecked(settings_.more.directions.download);
    SetChoice(country_, settings_.more.directions.country);
    ShowCurrentItinerary();
    Section(TopicId::Astro).box->setChecked(settings_.more.astro.download);
    signsEdit_->setText(FromCore(settings_.more.astro.signs));
    Section(TopicId::Email).box->setChecked(settings_.more.email.download);
}

void CMoreDownloadsDialog::CollectControls() {
    settings_.more.directions.download = Section(TopicId::Directions).box->isChecked();
    CollectChoice(country_, settings_.more.directions.country);
    fromAddress_ = ToCore(fromAddressEdit_->text());
    toAddress_ = ToCore(toAddressEdit_->text());
    fromCity_ = ToCore(fromCityEdit_->text());
    toCity_ = ToCore(toCityEdit_->text());
    settings_.more.astro.download = Section(TopicId::Astro).box->isChecked();
    settings_.more.astro.signs = ToCore(signsEdit_->text());
    settings_.more.email.download = Section(TopicId::Email).box->isChecked();
}

void CMoreDownloadsDialog::ApplyTopicBox(TopicId topic, bool focusNext) {
    Section(topic).Apply(TopicOf(topic).files(settings_).download, focusNext);
}

void CMoreDownloadsDialog::reject() {
    for (TopicId topic : kTopicsHere) {
        TopicOf(topic).files(settings_).download = openedWith_[static_cast<std::size_t>(topic)];
    }
    QDialog::reject();
}

void CMoreDownloadsDialog::accept() {
    CollectControls();
    if (const auto refusal = CheckMoreDownloads(
            settings_.more, static_cast<std::size_t>(itineraries_->count()), emails_.names.size())) {
        boxes_.Inform(this, FromCore(refusal->caption), FromCore(refusal->text));
        return;
    }
    QDialog::accept();
}

void CMoreDownloadsDialog::WarnWriteFailed(const QString& what) {
    boxes_.Warn(this, ProgramTitle(), what + QStringLiteral("\n\n") + QString::fromLocal8Bit(g_lastError));
}

// --- itineraries -----------------------------------------------------------

std::vector<std::string> CMoreDownloadsDialog::ListedItineraries() const {
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(itineraries_->count()));
    for (int i = 0; i < itineraries_->count(); ++i)
        names.push_back(ToCore(itineraries_->itemText(i)));
    return names;
}

void CMoreDownloadsDialog::FillItineraryList() {
    itineraries_->clear();
    QStringList names;
    for (const std::string& name : ReadItineraryNames(GetIniPath())) names.append(FromCore(name));
    itineraries_->addItems(names);
    itineraries_->setCurrentIndex(names.isEmpty() ? -1 : 0);
}

void CMoreDownloadsDialog::LoadSelectedItinerary() {
    const int index = itineraries_->currentIndex();
    if (index < 0) return;
    itineraryName_ = ToCore(itineraries_->currentText());
    const Itinerary stored = ReadItinerary(GetIniPath(), index + 1);
    settings_.more.directions.country = stored.country;
    fromAddress_ = stored.fromAddress;
    fromCity_ = stored.fromCity;
    toAddress_ = stored.toAddress;
    toCity_ = stored.toCity;
    SetChoice(country_, stored.country);
    ShowCurrentItinerary();
}

void CMoreDownloadsDialog::ShowCurrentItinerary() {
    fromAddressEdit_->setText(FromCore(fromAddress_));
    fromCityEdit_->setText(FromCore(fromCity_));
    toAddressEdit_->setText(FromCore(toAddress_));
    toCityEdit_->setText(FromCore(toCity_));
}

void CMoreDownloadsDialog::ClearCurrentItinerary() {
    settings_.more.directions.country = kCountryUsa;
    country_->setCurrentIndex(kCountryUsa);
    fromAddress_.clear();
    fromCity_.clear();
    toAddress_.clear();
    toCity_.clear();
    ShowCurrentItinerary();
}

void CMoreDownloadsDialog::StepItinerary(int step) {
    const int target = itineraries_->currentIndex() + step;
    if (itineraries_->count() == 0 || target < 0 || target >= itineraries_->count()) {
        boxes_.Beep();
        return;
    }
    itineraries_->setCurrentIndex(target);
    LoadSelectedItinerary();
}

void CMoreDownloadsDialog::StoreItinerary() {
    const std::vector<std::string> listed = ListedItineraries();
    // Refused before anything is copied from the boxes, replacing included.
    if (listed.size() >= static_cast<std::size_t>(kMaxItineraries)) {
        const ItineraryMessage message = StoreItineraryMessage(StoreItineraryResult::LimitReached);
        boxes_.Inform(this, FromCore(message.caption), FromCore(message.text));
        return;
    }
    CollectControls();
    const Itinerary entered{ToCore(itineraries_->currentText()),
                            settings_.more.directions.country,
                            fromAddress_,
                            fromCity_,
                            toAddress_,
                            toCity_};
    const StoreItineraryOutcome outcome = tp::StoreItinerary(GetIniPath(), listed, entered);
    switch (outcome.result) {
        case StoreItineraryResult::Replaced:
            // The list goes on showing the entry's old text until it is filled again.
            break;
        case StoreItineraryResult::Appended:
            itineraries_->addItem(FromCore(outcome.name));
            break;
        case StoreItineraryResult::WriteFailed:
            WarnWriteFailed(QStringLiteral("The itinerary could not be stored completely."));
            break;
        case StoreItineraryResult::LimitReached:
        case StoreItineraryResult::NameMissing:
        case StoreItineraryResult::AddressMissing: {
            const ItineraryMessage message = StoreItineraryMessage(outcome.result);
            boxes_.Inform(this, FromCore(message.caption), FromCore(message.text));
            break;
        }
    }
}

void CMoreDownloadsDialog::DeleteItinerary() {
    const int index = itineraries_->currentIndex();
    if (index < 0) return;
    if (!boxes_.Ask(this, ProgramTitle(), FromCore(kDeleteItineraryQuestion), MessageBoxes::AskStyle::Caution)) return;
    const bool deleted = DeleteListedItinerary(GetIniPath(), ListedItineraries(), index);
    ClearCurrentItinerary();
    if (!deleted) WarnWriteFailed(QStringLiteral("The itinerary could not be deleted completely."));
    FillItineraryList();
    LoadSelectedItinerary();
}

void CMoreDownloadsDialog::DeleteAllItineraries() {
    if (!boxes_.Ask(this, ProgramTitle(), FromCore(kDeleteAllItinerariesQuestion), MessageBoxes::AskStyle::Caution)) return;
    const bool deleted = tp::DeleteAllItineraries(GetIniPath());
    ClearCurrentItinerary();
    itineraryName_.clear();
    itineraries_->setEditText(QString());
    if (!deleted) WarnWriteFailed(QStringLiteral("The itineraries could not all be deleted."));
    FillItineraryList();
}

// --- zodiac signs ----------------------------------------------------------

void CMoreDownloadsDialog::EditSigns(bool (*edit)(std::string&, std::string_view)) {
    if (!edit(settings_.more.astro.signs, ToCore(signPicker_->currentText()))) {
        boxes_.Beep();
        signPicker_->setFocus();
        return;
    }
    signsEdit_->setText(FromCore(settings_.more.astro.signs));
}

void CMoreDownloadsDialog::ClearSignList() {
    ClearSigns(settings_.more.astro.signs);
    signsEdit_->setText(FromCore(settings_.more.astro.signs));
}

// --- e-mail files ----------------------------------------------------------

void CMoreDownloadsDialog::FillEmailList() {
    emails_ = tp::FillEmailList();
    ShowEmailList();
}

void CMoreDownloadsDialog::ShowEmailList() {
    emailList_->clear();
    for (const std::string& name : emails_.names) emailList_->addItem(PathText(name));
    emailList_->setCurrentIndex(emails_.selected);
}

void CMoreDownloadsDialog::DeleteEmailFile() {
    emails_.selected = emailList_->currentIndex();
    const std::optional<std::string> question = DeleteSelectedQuestion(emails_);
    if (!question || !boxes_.Ask(this, ProgramTitle(), PathText(*question), MessageBoxes::AskStyle::Caution)) return;
    if (!DeleteSelectedEmailFile(emails_)) {
        WarnWriteFailed(QStringLiteral("The file could not be deleted."));
        return;
    }
    ShowEmailList();
}

void CMoreDownloadsDialog::DeleteAllEmailFiles() {
    const std::optional<std::string> question = DeleteAllQuestion(emails_);
    if (!question || !boxes_.Ask(this, ProgramTitle(), FromCore(*question), MessageBoxes::AskStyle::Caution)) return;
    const bool deleted = tp::DeleteAllEmailFiles(emails_);
    ShowEmailList();
    if (!deleted) WarnWriteFailed(QStringLiteral("Some of the files could not be deleted."));
}

}  // namespace tp
