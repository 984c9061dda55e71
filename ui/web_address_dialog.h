// "Web address and Tags": the address of one web source and its tags, as the
// page customization dialog edits them.
#pragma once

#include "settings/custom_sources.h"
#include "settings/settings_model.h"

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
    // settings: those under which Test checks the source (its codes, the
    // time-outs and the conversion of the fetch).
    CWebAddressDialog(MessageBoxes& boxes, const Settings& settings, QWidget* parent);

    // Shows source's address and tags; a tag that is empty now stays disabled.
    void SetSource(const SourceEntry& source);
    // After OK: the address (without blanks at its ends) and the tags.
    void CopyTextsInto(SourceEntry& source) const;

    // Test: the source workbench over this dialog, checking the address and
    // tags as the fields hold them, saved or not. A tag it hands back with
    // "Use" goes into its field here, to be kept only by OK.
    void OpenWorkbench();

    void accept() override;

private:
    // The source with the texts of the fields, as they stand.
    SourceEntry FieldTexts() const;
    void PutTag(int number, const QString& tag);

    MessageBoxes& boxes_;
    Settings settings_;
    SourceEntry source_;
    CMultiLineEdit* address_ = nullptr;
    std::array<QLineEdit*, kSourceTagCount> tags_{};
};

}  // namespace tp
