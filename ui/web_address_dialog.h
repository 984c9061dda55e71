// "Web address and Tags": the address of one web source and its tags, as the
// page customization dialog edits them.
#pragma once

#include "settings/custom_sources.h"

#include <QDialog>

#include <array>

class QLineEdit;

namespace tp {

class CMultiLineEdit;
class MessageBoxes;

// The first text of source that the customization store cannot keep, as a
// message naming its field ("URL:", "Tag #2:") and the reason; the empty text
// when every text can be stored.
QString UnstorableSourceText(const SourceEntry& source);

class CWebAddressDialog : public QDialog {
    Q_OBJECT
public:
    CWebAddressDialog(MessageBoxes& boxes, QWidget* parent);

    // Shows source's address and tags; a tag that is empty now stays disabled.
    void SetSource(const SourceEntry& source);
    // After OK: the address (without blanks at its ends) and the tags.
    void CopyTextsInto(SourceEntry& source) const;

    void accept() override;

private:
    MessageBoxes& boxes_;
    SourceEntry source_;
    CMultiLineEdit* address_ = nullptr;
    std::array<QLineEdit*, kSourceTagCount> tags_{};
};

}  // namespace tp
