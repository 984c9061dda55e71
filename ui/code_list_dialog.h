// "Modification of the code list": the text of a code file (area codes, city
// codes or exchange rates), one entry per line, and the flow behind the main
// window's "..." buttons that edits a code file with it.
#pragma once

#include "settings/code_lists.h"

#include <QDialog>

#include <optional>
#include <string>
#include <string_view>

namespace tp {

class CMultiLineEdit;
class MessageBoxes;

class CCodeListDialog : public QDialog {
    Q_OBJECT
public:
    // fileText: the file's text; promptId: the string shown above the list
    // (0 means the prompt for area and city codes); checked: OK refuses a line
    // that is not of this kind's form.
    CCodeListDialog(std::string_view fileText, int promptId, MessageBoxes& boxes, QWidget* parent,
                    std::optional<CodeListKind> checked = std::nullopt);

    // After OK: the text for the file, lines ended by line feeds.
    const std::string& FileText() const { return fileText_; }

    void accept() override;

private:
    MessageBoxes& boxes_;
    std::string fileText_;
    std::optional<CodeListKind> checked_;
    CMultiLineEdit* list_ = nullptr;
};

// Edits the kind's file in the configuration folder with the code list editor
// and, after OK, replaces the file. True when the file was written; a file that
// cannot be edited whole, or written, is reported and left as it was.
bool EditCodeListFile(QWidget* owner, MessageBoxes& boxes, CodeListKind kind);

}  // namespace tp
