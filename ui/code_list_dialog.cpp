#include "ui/code_list_dialog.h"

#include "app/globals.h"
#include "resources/string_table.h"
#include "ui/core_text.h"
#include "ui/dialog_kit.h"
#include "ui/entry_checks.h"
#include "ui/dialog_units.h"
#include "ui/message_boxes.h"
#include "ui/multi_line_edit.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tp {
namespace {

}  // namespace

CCodeListDialog::CCodeListDialog(std::string_view fileText, int promptId, MessageBoxes& boxes, QWidget* parent,
                                 std::optional<CodeListKind> checked)
    : QDialog(parent), boxes_(boxes), checked_(checked) {
    setObjectName(QStringLiteral("codeListDialog"));
    setWindowTitle(QStringLiteral("Modification of the code list"));

    auto* prompt = new QLabel(FromCore(LoadStringResource(promptId == 0 ? kCodeListPrompt : promptId)));
    prompt->setObjectName(QStringLiteral("promptLabel"));
    prompt->setTextFormat(Qt::PlainText);
    prompt->setWordWrap(true);
    prompt->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    prompt->setMinimumSize(DialogUnitsToPixels(*this, 170, 27));

    list_ = new CMultiLineEdit;
    list_->setObjectName(QStringLiteral("listMultiLineEdit"));
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list_->setPlainText(FromCore(CodeListTextForEditor(fileText)));
    auto* listLabel = new QLabel(QStringLiteral("List of selections:"));
    listLabel->setBuddy(list_);

    QPushButton* ok = NewPushButton(QStringLiteral("OK"), QStringLiteral("okPushButton"));
    ok->setDefault(true);
    QPushButton* cancel = NewPushButton(QStringLiteral("Cancel"), QStringLiteral("cancelPushButton"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch(1);

    auto* grid = new QGridLayout(this);
    grid->addWidget(prompt, 0, 0);
    grid->addLayout(buttons, 0, 1, 2, 1);
    grid->addWidget(listLabel, 1, 0, Qt::AlignBottom);
    grid->addWidget(list_, 2, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Note: To create/insert a new line type <Ctrl>+<Enter>")), 3, 0, 1, 2);
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(0, 1);

    setTabOrder(list_, ok);
    setTabOrder(ok, cancel);
    list_->setFocus();
    resize(sizeHint().expandedTo(DialogUnitsToPixels(*this, 246, 151)));
}

void CCodeListDialog::accept() {
    std::string text = CodeListTextFromEditor(ToCore(list_->Text()));
    if (text.size() > kCodeFileMax) {
        boxes_.Warn(this, ProgramTitle(),
                    QStringLiteral("The list is %1 characters long; at most %2 can be kept. Shorten it first.")
                        .arg(text.size())
                        .arg(kCodeFileMax));
        return;
    }
    if (const std::size_t line = checked_ ? FirstMalformedCodeLine(*checked_, text) : 0) {
        const QString form = *checked_ == CodeListKind::Rate ? QStringLiteral("XXX/YYY")
                             : *checked_ == CodeListKind::Area ? QStringLiteral("12345 - City name")
                                                               : QStringLiteral("Code - City name");
        boxes_.Warn(this, ProgramTitle(),
                    QStringLiteral("Line %1 is not of the form \"%2\". Nothing was saved; correct the line first.")
                        .arg(line)
                        .arg(form));
        list_->setFocus();
        return;
    }
    fileText_ = std::move(text);
    QDialog::accept();
}

bool EditCodeListFile(QWidget* owner, MessageBoxes& boxes, CodeListKind kind) {
    std::string text;
    if (!ReadCodeFileForEditor(kind, text)) {
        boxes.Warn(owner, ProgramTitle(), FromCore(g_lastError));
        return false;
    }
    CCodeListDialog editor(text, kind == CodeListKind::Rate ? kRateListPrompt : kCodeListPrompt, boxes, owner,
                           kind);
    if (editor.exec() != QDialog::Accepted) return false;
    if (!WriteCodeFile(kind, editor.FileText())) {
        boxes.Warn(owner, ProgramTitle(), FromCore(g_lastError));
        return false;
    }
    return true;
}

}  // namespace tp
