#include "ui/source_workbench_dialog.h"

#include "app/globals.h"
#include "check/tag_suggestions.h"
#include "run/download_run.h"
#include "run/good_texts.h"
#include "settings/customization_rules.h"
#include "ui/core_text.h"
#include "ui/dialog_kit.h"
#include "ui/dialog_units.h"

#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cctype>
#include <memory>

namespace tp {
namespace {

constexpr int kPicture = 156;
// Each tag's mark in the text, in the order the web address dialog lists the
// tags: light enough for the text to stay readable on it.
const QColor kTagColors[] = {QColor(255, 224, 102), QColor(152, 222, 152), QColor(150, 200, 255),
                             QColor(255, 176, 208)};
const QColor kBadColor(176, 0, 0);
const QColor kGoodColor(0, 112, 0);

QColor TagColor(std::size_t index) { return kTagColors[index % std::size(kTagColors)]; }

// "Tag #2" for the tag with customization number number; its key when the
// source does not list it.
QString TagName(const SourceEntry& source, int number) {
    for (std::size_t i = 0; i < kSourceTagCount; ++i) {
        if (source.tagNumbers[i] == number) return QStringLiteral("Tag #%1").arg(i + 1);
    }
    return FromCore(CustomKey(number));
}

// A tag on one line between quotes, its line feeds written "~" as the
// settings file keeps them, so that its blanks at both ends show.
QString Quoted(std::string_view tag) {
    QString shown = FromCore(tag);
    shown.replace(QLatin1Char('\n'), QLatin1Char('~'));
    return QStringLiteral("\u201C%1\u201D").arg(shown);
}

// The fetched text for the view, one character for each byte so that a
// tag's place in the text is its place in the view: carriage returns (which
// the view would take for line breaks) shown as blanks, and the other
// control characters but tabs and line feeds as replacement characters.
QString ViewText(std::string_view text) {
    QString view = FromCore(text);
    for (QChar& c : view) {
        if (c == QLatin1Char('\r')) {
            c = QLatin1Char(' ');
        } else if (c.unicode() < 0x20 && c != QLatin1Char('\n') && c != QLatin1Char('\t')) {
            c = QChar(QChar::ReplacementCharacter);
        }
    }
    return view;
}

// The id of a link to a card ("<a href=\"#101\">"), or 0.
int CardLinkId(std::string_view tag) {
    static constexpr std::string_view kHead = "<a href=\"#";
    static constexpr std::string_view kTail = "\">";
    if (tag.size() <= kHead.size() + kTail.size() || tag.substr(0, kHead.size()) != kHead ||
        tag.substr(tag.size() - kTail.size()) != kTail) {
        return 0;
    }
    const std::string_view digits = tag.substr(kHead.size(), tag.size() - kHead.size() - kTail.size());
    int id = 0;
    for (const char c : digits) {
        if (!std::isdigit(static_cast<unsigned char>(c)) || id > 99999) return 0;
        id = id * 10 + (c - '0');
    }
    return id;
}

// Whether text at pos starts a character reference ("&amp;", "&#233;").
bool IsEntityAt(std::string_view text, std::size_t pos) {
    std::size_t end = pos + 1;
    if (end < text.size() && text[end] == '#') ++end;
    const std::size_t first = end;
    while (end < text.size() && end - first < 10 && std::isalnum(static_cast<unsigned char>(text[end]))) ++end;
    return end > first && end < text.size() && text[end] == ';';
}

// The card markup of a page as rich text: line breaks, paragraphs and links
// to cards kept, every other "<", ">" and "&" shown as it stands.
QString RichCardText(std::string_view markup) {
    QString html;
    html.reserve(static_cast<qsizetype>(markup.size()));
    for (std::size_t pos = 0; pos < markup.size(); ++pos) {
        const char c = markup[pos];
        if (c == '<') {
            const std::size_t close = markup.find('>', pos);
            const std::string_view tag =
                close == std::string_view::npos ? std::string_view{} : markup.substr(pos, close + 1 - pos);
            if (tag == "<br/>" || tag == "<br>" || tag == "<br />") {
                html += QStringLiteral("<br/>");
            } else if (tag == "<p>" || tag == "</p>" || tag == "</a>") {
                html += FromCore(tag);
            } else if (const int id = CardLinkId(tag)) {
                html += QStringLiteral("<a href=\"#card%1\">").arg(id);
            } else {
                html += QStringLiteral("&lt;");
                continue;
            }
            pos = close;
        } else if (c == '>') {
            html += QStringLiteral("&gt;");
        } else if (c == '&' && !IsEntityAt(markup, pos)) {
            html += QStringLiteral("&amp;");
        } else {
            html += QChar(static_cast<unsigned char>(c));
        }
    }
    return html;
}

QLineEdit* NewFactField(const char* name) {
    auto* field = new QLineEdit;
    field->setObjectName(QLatin1String(name));
    ShowReadOnly(field);
    return field;
}

QWidget* Titled(const QString& title, QWidget* contents) {
    auto* box = new QWidget;
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(title);
    label->setBuddy(contents);
    column->addWidget(label);
    column->addWidget(contents, 1);
    return box;
}

// What the workbench adds to a check once it has ended, off the window's
// thread: for a tag not found, the replacements (weighed against the source's
// last text that gave cards); a text that gave cards becomes that text.
void CompleteCheck(SourceCheck& check) {
    const int address = check.target.source.address;
    const std::string& code = check.target.source.code;
    if (check.outcome == CheckOutcome::Ok) {
        KeepGoodText(address, code, check.text);
    } else if (check.outcome == CheckOutcome::TagMissing) {
        const std::optional<std::string> lastGood = LastGoodText(address, code);
        check.suggestions = SuggestTags(check, lastGood ? &*lastGood : nullptr);
    }
}

}  // namespace

QString CardsPreviewHtml(const std::vector<CheckCard>& cards) {
    if (cards.empty()) return QStringLiteral("<p><i>No cards.</i></p>");
    QString index;
    QString pages;
    for (const CheckCard& card : cards) {
        const QString id = QString::number(card.id);
        // A card without a title is still reached from the index.
        const QString title = card.title.empty() ? QStringLiteral("Card %1").arg(id) : RichCardText(card.title);
        index += QStringLiteral("<a href=\"#card%1\">%2</a><br/>").arg(id, title);
        pages += QStringLiteral("<hr/><h3><a name=\"card%1\">%2</a></h3><p>%3</p>")
                     .arg(id, title, RichCardText(card.body));
    }
    return QStringLiteral("<p>%1</p>%2").arg(index, pages);
}

CSourceWorkbenchDialog::CSourceWorkbenchDialog(const Settings& settings, const SourceEntry& source, QWidget* parent)
    : QDialog(parent), settings_(settings), source_(source) {
    setObjectName(QStringLiteral("sourceWorkbenchDialog"));
    setWindowTitle(QStringLiteral("Test %1").arg(FromCore(source.label)));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/%1.svg").arg(kPicture)));
    setSizeGripEnabled(true);
    BuildControls();

    // The code the settings give first, when they give one.
    CheckTarget first;
    if (TargetForAddress(settings_, source_.addressNumber, "", Texts(), first)) {
        code_->setText(FromCore(first.source.code));
        ShowOutcome(QStringLiteral("Check fetches the page and cuts it with the tags shown."), Tone::Plain);
    } else {
        ShowOutcome(FromCore(g_lastError), Tone::Plain);
    }
    resize(sizeHint().expandedTo(DialogUnitsToPixels(*this, 600, 340)));
}

CSourceWorkbenchDialog::~CSourceWorkbenchDialog() {
    stop_ = true;
    if (worker_.joinable()) worker_.join();
}

void CSourceWorkbenchDialog::BuildControls() {
    address_ = new QLineEdit(FromCore(TrimAddress(source_.addressText)));
    address_->setObjectName(QStringLiteral("urlLineEdit"));
    ShowReadOnly(address_);
    address_->setCursorPosition(0);
    code_ = new QLineEdit;
    code_->setObjectName(QStringLiteral("codeLineEdit"));
    code_->setToolTip(QStringLiteral("What takes the place of %s in the address: a ZIP or city code, a symbol, "
                                     "a pair of currencies, a sign, an itinerary's number"));
    checkButton_ = NewPushButton(QStringLiteral("&Check"), QStringLiteral("checkPushButton"));
    checkButton_->setDefault(true);
    stopButton_ = NewPushButton(QStringLiteral("&Stop"), QStringLiteral("stopPushButton"));
    stopButton_->setEnabled(false);
    outcome_ = new QLabel;
    outcome_->setObjectName(QStringLiteral("outcomeLabel"));
    outcome_->setWordWrap(true);
    outcome_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold = outcome_->font();
    bold.setBold(true);
    outcome_->setFont(bold);

    auto* top = new QGridLayout;
    auto* urlLabel = new QLabel(QStringLiteral("URL:"));
    urlLabel->setBuddy(address_);
    auto* codeLabel = new QLabel(QStringLiteral("C&ode:"));
    codeLabel->setBuddy(code_);
    top->addWidget(urlLabel, 0, 0);
    top->addWidget(address_, 0, 1, 1, 4);
    top->addWidget(codeLabel, 1, 0);
    top->addWidget(code_, 1, 1);
    top->addWidget(checkButton_, 1, 2);
    top->addWidget(stopButton_, 1, 3);
    top->setColumnStretch(1, 1);
    top->setColumnStretch(4, 2);

    text_ = new QPlainTextEdit;
    text_->setObjectName(QStringLiteral("fetchedTextPlainTextEdit"));
    text_->setReadOnly(true);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    cards_ = new QTextBrowser;
    cards_->setObjectName(QStringLiteral("cardsTextBrowser"));
    cards_->setOpenExternalLinks(false);
    auto* views = new QSplitter(Qt::Horizontal);
    views->setObjectName(QStringLiteral("viewsSplitter"));
    views->setChildrenCollapsible(false);
    views->addWidget(Titled(QStringLiteral("&Fetched text, each tag marked:"), text_));
    views->addWidget(Titled(QStringLiteral("C&ards as the organiser shows them:"), cards_));
    views->setStretchFactor(0, 3);
    views->setStretchFactor(1, 2);

    tags_ = new QTreeWidget;
    tags_->setObjectName(QStringLiteral("tagsTreeWidget"));
    tags_->setHeaderLabels({QStringLiteral("Tag"), QStringLiteral("Key"), QStringLiteral("Text"),
                            QStringLiteral("Places")});
    tags_->setRootIsDecorated(false);
    tags_->setAllColumnsShowFocus(true);
    tags_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tags_->setToolTip(QStringLiteral("Click a tag to go to its next place in the text"));
    auto* tagsBox = new QGroupBox(QStringLiteral("Tags"));
    tagsBox->setObjectName(QStringLiteral("tagsGroupBox"));
    (new QVBoxLayout(tagsBox))->addWidget(tags_);

    url_ = NewFactField("askedUrlLineEdit");
    finalUrl_ = NewFactField("finalUrlLineEdit");
    status_ = NewFactField("statusLineEdit");
    bytes_ = NewFactField("bytesLineEdit");
    milliseconds_ = NewFactField("millisecondsLineEdit");
    error_ = NewFactField("errorLineEdit");
    auto* factsBox = new QGroupBox(QStringLiteral("Fetch"));
    factsBox->setObjectName(QStringLiteral("fetchGroupBox"));
    auto* facts = new QFormLayout(factsBox);
    facts->addRow(QStringLiteral("Address asked:"), url_);
    facts->addRow(QStringLiteral("Final address:"), finalUrl_);
    facts->addRow(QStringLiteral("HTTP status:"), status_);
    facts->addRow(QStringLiteral("Bytes:"), bytes_);
    facts->addRow(QStringLiteral("Milliseconds:"), milliseconds_);
    facts->addRow(QStringLiteral("Error:"), error_);

    auto* suggestionsBox = new QGroupBox(QStringLiteral("Suggested tags"));
    suggestionsBox->setObjectName(QStringLiteral("suggestionsGroupBox"));
    auto* suggestionsColumn = new QVBoxLayout(suggestionsBox);
    suggestionRows_ = new QVBoxLayout;
    suggestionsColumn->addLayout(suggestionRows_);
    suggestionsColumn->addStretch(1);

    auto* details = new QWidget;
    auto* detailsRow = new QHBoxLayout(details);
    detailsRow->setContentsMargins(0, 0, 0, 0);
    detailsRow->addWidget(tagsBox, 1);
    detailsRow->addWidget(factsBox, 1);
    detailsRow->addWidget(suggestionsBox, 1);

    auto* split = new QSplitter(Qt::Vertical);
    split->setObjectName(QStringLiteral("workbenchSplitter"));
    split->setChildrenCollapsible(false);
    split->addWidget(views);
    split->addWidget(details);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);

    QPushButton* close = NewPushButton(QStringLiteral("Close"), QStringLiteral("closePushButton"));
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel(QStringLiteral("Nothing here is saved: \u201CUse\u201D fills in the tag, and the "
                                                "web address dialog's OK keeps it.")),
                      1);
    bottom->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(outcome_);
    layout->addWidget(split, 1);
    layout->addLayout(bottom);

    DialogOrder order;
    for (QWidget* widget : std::initializer_list<QWidget*>{code_, checkButton_, stopButton_, address_, text_, cards_,
                                                           tags_, url_, finalUrl_, status_, bytes_, milliseconds_,
                                                           error_, close}) {
        order.Add(widget);
    }
    order.ApplyTabOrder();
    code_->setFocus();

    connect(checkButton_, &QPushButton::clicked, this, &CSourceWorkbenchDialog::StartCheck);
    connect(stopButton_, &QPushButton::clicked, this, &CSourceWorkbenchDialog::StopCheck);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(tags_, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { GoToTag(tags_->indexOfTopLevelItem(item)); });
    connect(tags_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { GoToTag(tags_->indexOfTopLevelItem(item)); });
}

CustomTexts CSourceWorkbenchDialog::Texts() const {
    CustomTexts texts{{source_.addressNumber, TrimAddress(source_.addressText)}};
    for (std::size_t i = 0; i < kSourceTagCount; ++i) {
        if (source_.tagNumbers[i] != 0) texts.emplace_back(source_.tagNumbers[i], source_.tagTexts[i]);
    }
    return texts;
}

bool CSourceWorkbenchDialog::StartCheck() {
    if (IsChecking()) return false;
    CheckTarget target;
    if (!TargetForAddress(settings_, source_.addressNumber, ToCore(code_->text().trimmed()), Texts(), target)) {
        ShowOutcome(FromCore(g_lastError), Tone::Bad);
        return false;
    }
    FetchOptions options = FetchOptionsOf(settings_.general, &stop_);
    options.keepCopy = false;
    // One try: the user is looking at this very answer, and waiting out a
    // server's Retry-After would keep Stop from ending the check.
    options.retries = 0;
    used_.reset();
    const QString url = FromCore(target.source.url);
    RunOffThread([target = std::move(target), options] { return CheckSource(target, options); },
                 QStringLiteral("Fetching %1 ...").arg(url));
    return true;
}

void CSourceWorkbenchDialog::StopCheck() {
    if (!IsChecking()) return;
    stop_ = true;
    ShowOutcome(QStringLiteral("Stopping ..."), Tone::Plain);
}

void CSourceWorkbenchDialog::done(int result) {
    if (!IsChecking()) {
        QDialog::done(result);
        return;
    }
    closing_ = result;
    StopCheck();
}

// The check runs on a thread of its own and its outcome comes back as an
// event, so that the window paints and takes Stop while the fetch waits.
void CSourceWorkbenchDialog::RunOffThread(std::function<SourceCheck()> job, const QString& doing) {
    stop_ = false;
    ShowRunning(true);
    ShowOutcome(doing, Tone::Plain);
    worker_ = std::thread([this, job = std::move(job)] {
        auto check = std::make_shared<SourceCheck>(job());
        CompleteCheck(*check);
        QMetaObject::invokeMethod(
            this,
            [this, check] {
                worker_.join();
                OnCheckEnded(std::move(*check));
            },
            Qt::QueuedConnection);
    });
}

void CSourceWorkbenchDialog::OnCheckEnded(SourceCheck check) {
    ShowRunning(false);
    if (closing_) {
        QDialog::done(*closing_);
        return;
    }
    shown_ = std::move(check);
    const SourceCheck& shown = *shown_;
    if (const TagHit* missing = shown.FirstMissing(); missing && shown.outcome == CheckOutcome::TagMissing) {
        ShowOutcome(QStringLiteral("%1 %2 not found (key %3)")
                        .arg(TagName(source_, missing->number), Quoted(missing->tag),
                             FromCore(CustomKey(missing->number))),
                    Tone::Bad);
    } else {
        ShowOutcome(FromCore(OutcomeText(shown)), shown.outcome == CheckOutcome::Ok ? Tone::Good : Tone::Bad);
    }
    ShowText(shown);
    ShowTags(shown);
    ShowFacts(shown.fetch);
    ShowSuggestions(shown);
    cards_->setHtml(shown.fetched ? CardsPreviewHtml(shown.cut.cards) : QString());
    emit CheckShown();
}

void CSourceWorkbenchDialog::ShowRunning(bool running) {
    checkButton_->setEnabled(!running);
    stopButton_->setEnabled(running);
    code_->setReadOnly(running);
    // A suggestion belongs to the text it was made for.
    for (QPushButton* use : findChildren<QPushButton*>(QString(), Qt::FindChildrenRecursively)) {
        if (use->property("suggestion").isValid()) use->setEnabled(!running);
    }
}

void CSourceWorkbenchDialog::ShowOutcome(const QString& text, Tone tone) {
    outcome_->setText(text);
    QPalette palette = outcome_->palette();
    const QColor plain = this->palette().color(QPalette::WindowText);
    palette.setColor(QPalette::WindowText, tone == Tone::Good ? kGoodColor : tone == Tone::Bad ? kBadColor : plain);
    outcome_->setPalette(palette);
}

void CSourceWorkbenchDialog::ShowText(const SourceCheck& check) {
    text_->setPlainText(ViewText(check.text));
    QList<QTextEdit::ExtraSelection> marks;
    std::optional<std::size_t> first;
    for (std::size_t i = 0; i < check.tags.size(); ++i) {
        const TagHit& hit = check.tags[i];
        if (hit.tag.empty()) continue;  // stands everywhere: nothing to mark
        QTextCharFormat format;
        format.setBackground(TagColor(i));
        for (const std::size_t at : hit.at) {
            QTextEdit::ExtraSelection mark;
            mark.format = format;
            mark.cursor = QTextCursor(text_->document());
            mark.cursor.setPosition(static_cast<int>(at));
            mark.cursor.setPosition(static_cast<int>(at + hit.tag.size()), QTextCursor::KeepAnchor);
            marks.append(mark);
            if (!first || at < *first) first = at;
        }
    }
    text_->setExtraSelections(marks);
    QTextCursor cursor(text_->document());
    cursor.setPosition(first ? static_cast<int>(*first) : 0);
    text_->setTextCursor(cursor);
    text_->centerCursor();
}

void CSourceWorkbenchDialog::ShowTags(const SourceCheck& check) {
    tags_->clear();
    for (std::size_t i = 0; i < check.tags.size(); ++i) {
        const TagHit& hit = check.tags[i];
        QString places;
        if (hit.tag.empty()) {
            places = QStringLiteral("empty: stands anywhere");
        } else if (hit.Missing()) {
            places = QStringLiteral("not found");
        } else {
            places = hit.at.size() >= kMaxTagHits ? QStringLiteral("%1 or more").arg(hit.at.size())
                                                  : QString::number(hit.at.size());
        }
        const QString name = TagName(source_, hit.number) + (hit.end ? QStringLiteral(" (end)") : QString());
        auto* item = new QTreeWidgetItem(tags_, {name, FromCore(CustomKey(hit.number)), Quoted(hit.tag), places});
        item->setBackground(0, TagColor(i));
        item->setForeground(0, QColor(Qt::black));
        if (hit.Missing()) {
            for (int column = 1; column < tags_->columnCount(); ++column) item->setForeground(column, kBadColor);
        }
    }
}

void CSourceWorkbenchDialog::ShowFacts(const FetchFacts& facts) {
    const auto show = [](QLineEdit* field, const QString& text) {
        field->setText(text);
        field->setCursorPosition(0);
    };
    show(url_, FromCore(facts.url));
    show(finalUrl_, FromCore(facts.finalUrl));
    show(status_, facts.status ? QString::number(facts.status) : QStringLiteral("none"));
    show(bytes_, QString::number(facts.bytes));
    show(milliseconds_, QString::number(facts.ms));
    show(error_, FromCore(facts.error));
    QPalette palette = error_->palette();
    palette.setColor(QPalette::Text, kBadColor);
    error_->setPalette(palette);
}

void CSourceWorkbenchDialog::ShowSuggestions(const SourceCheck& check) {
    while (QLayoutItem* item = suggestionRows_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    if (check.suggestions.empty()) {
        QString text = QStringLiteral("A tag that is not found gets suggestions here.");
        if (check.outcome == CheckOutcome::TagMissing) {
            text = QStringLiteral("No tag found that gives cards. Look in the fetched text for the words just "
                                  "before the wanted part, and type them into the tag field of the web address "
                                  "dialog.");
        } else if (used_) {
            text = QStringLiteral("%1 now reads %2 in the web address dialog: its OK keeps it.")
                       .arg(TagName(source_, used_->number), Quoted(used_->tag));
        }
        auto* none = new QLabel(text);
        none->setObjectName(QStringLiteral("noSuggestionLabel"));
        none->setWordWrap(true);
        suggestionRows_->addWidget(none);
        return;
    }
    int row = 0;
    for (const TagSuggestion& suggestion : check.suggestions) {
        ++row;
        auto* line = new QWidget;
        auto* lineLayout = new QHBoxLayout(line);
        lineLayout->setContentsMargins(0, 0, 0, 0);
        auto* label = new QLabel(QStringLiteral("%1: %2, %3 %4")
                                     .arg(TagName(source_, suggestion.number), Quoted(suggestion.tag))
                                     .arg(suggestion.cards)
                                     .arg(suggestion.cards == 1 ? QStringLiteral("card") : QStringLiteral("cards")));
        label->setObjectName(QStringLiteral("suggestion%1Label").arg(row));
        label->setTextFormat(Qt::PlainText);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        QPushButton* use = NewPushButton(QStringLiteral("Use"), QStringLiteral("use%1PushButton").arg(row));
        use->setProperty("suggestion", row);
        use->setToolTip(QStringLiteral("Put this tag into the web address dialog's field for %1")
                            .arg(TagName(source_, suggestion.number)));
        connect(use, &QPushButton::clicked, this, [this, suggestion] { UseSuggestion(suggestion); });
        lineLayout->addWidget(label, 1);
        lineLayout->addWidget(use);
        suggestionRows_->addWidget(line);
    }
}

// The tag goes into the web address dialog; the text at hand is cut again
// with it at once, without fetching it again.
void CSourceWorkbenchDialog::UseSuggestion(const TagSuggestion& suggestion) {
    if (IsChecking() || !shown_) return;
    for (std::size_t i = 0; i < kSourceTagCount; ++i) {
        if (source_.tagNumbers[i] == suggestion.number) source_.tagTexts[i] = suggestion.tag;
    }
    emit TagChosen(suggestion.number, FromCore(suggestion.tag));
    used_ = suggestion;

    CheckTarget target = shown_->target;
    target.texts = Texts();
    FetchResult fetched;
    fetched.ok = shown_->fetched;
    fetched.text = shown_->text;
    fetched.status = shown_->fetch.status;
    fetched.finalUrl = shown_->fetch.finalUrl;
    fetched.milliseconds = shown_->fetch.ms;
    std::string url = shown_->fetch.url;
    RunOffThread([target = std::move(target), fetched = std::move(fetched), url = std::move(url)] {
        return CheckFetched(target, fetched, url);
    },
                 QStringLiteral("Cutting the text with %1 %2 ...")
                     .arg(TagName(source_, suggestion.number), Quoted(suggestion.tag)));
}

// A tag's first place, and on the next click its place after that one,
// round to the first again.
void CSourceWorkbenchDialog::GoToTag(int index) {
    if (!shown_ || index < 0 || static_cast<std::size_t>(index) >= shown_->tags.size()) return;
    const TagHit& hit = shown_->tags[static_cast<std::size_t>(index)];
    if (hit.tag.empty() || hit.at.empty()) return;
    const QTextCursor current = text_->textCursor();
    const bool onTag = current.selectionEnd() - current.selectionStart() == static_cast<int>(hit.tag.size());
    const auto selected = std::find(hit.at.begin(), hit.at.end(), static_cast<std::size_t>(current.selectionStart()));
    const std::size_t at = onTag && selected != hit.at.end() && selected + 1 != hit.at.end() ? *(selected + 1)
                                                                                            : hit.at.front();
    QTextCursor cursor(text_->document());
    cursor.setPosition(static_cast<int>(at));
    cursor.setPosition(static_cast<int>(at + hit.tag.size()), QTextCursor::KeepAnchor);
    text_->setTextCursor(cursor);
    text_->centerCursor();
}

}  // namespace tp
