// "General Settings": how a download run treats errors and earlier pages, the
// page date format, what happens at exit and after a run, and the warning
// before a customization. One object lives as long as the main window and is
// reopened each time; its controls are bound to the general settings.
#pragma once

#include <QDialog>

#include "settings/range_checks.h"
#include "settings/settings_model.h"

class QButtonGroup;
class QCheckBox;
class QPushButton;

namespace tp {

class CSpinField;

class MessageBoxes;

class CGeneralSettingsDialog : public QDialog {
    Q_OBJECT
public:
    CGeneralSettingsDialog(MessageBoxes& boxes, GeneralSettings& settings,
                           QWidget* parent = nullptr);

    // Every opening starts from the settings and the debug switch.
    void setVisible(bool visible) override;
    void accept() override;

    // The range message of a number of this dialog, naming the field and the
    // dialog, for messages shown outside it.
    static QString NamedRangeMessage(const RangeViolation& violation);

private:
    void BuildControls();
    void FillControls();
    // Copies the controls into into.
    void CollectControls(GeneralSettings& into) const;
    void RestoreCustomization();
    CSpinField* FieldOf(RangedField field) const;

    MessageBoxes& boxes_;
    GeneralSettings& settings_;

    QCheckBox* stopOnError_ = nullptr;
    QCheckBox* deleteXml_ = nullptr;
    QPushButton* deleteNow_ = nullptr;
    QCheckBox* keepLastGoodPage_ = nullptr;
    QButtonGroup* timeFormat_ = nullptr;
    QCheckBox* timeZone_ = nullptr;
    QButtonGroup* saveOnExit_ = nullptr;
    QCheckBox* intelliSynch_ = nullptr;
    QPushButton* synchNow_ = nullptr;
    QCheckBox* syncOnlyWhenChanged_ = nullptr;
    QCheckBox* autoExit_ = nullptr;
    QCheckBox* customWarnings_ = nullptr;
    QCheckBox* localConversion_ = nullptr;
    CSpinField* connectTimeout_ = nullptr;
    CSpinField* stallTimeout_ = nullptr;
    CSpinField* fetchTimeout_ = nullptr;
    CSpinField* maxFetches_ = nullptr;
    CSpinField* maxFetchesPerHost_ = nullptr;
    CSpinField* retries_ = nullptr;
    CSpinField* runDeadline_ = nullptr;
};

}  // namespace tp
