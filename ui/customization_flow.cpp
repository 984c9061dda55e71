#include "ui/customization_flow.h"

#include "settings/custom_sources.h"
#include "settings/settings_model.h"
#include "ui/customization_dialog.h"
#include "ui/dialog_kit.h"
#include "ui/file_pickers.h"
#include "ui/message_boxes.h"

namespace tp {

bool ConfirmCustomization(QWidget* owner, MessageBoxes& boxes, bool customWarnings) {
    if (!customWarnings) return true;
    return boxes.Ask(owner, ProgramTitle(),
                     QStringLiteral("IMPORTANT WARNING:\n\nCustomization changes you may introduce could cause your\n"
                                    "Tidepost application to crash or not to download as expected.\n"
                                    "Do you want to continue ?"),
                     MessageBoxes::AskStyle::Caution);
}

bool EditTopicCustomization(QWidget* owner, MessageBoxes& boxes, const Settings& settings, std::string_view topic,
                            std::string& iconFile, std::string& templateFile) {
    WidgetFilePickers pickers;
    return EditTopicCustomization(owner, boxes, settings, topic, iconFile, templateFile, pickers);
}

bool EditTopicCustomization(QWidget* owner, MessageBoxes& boxes, const Settings& settings, std::string_view topic,
                            std::string& iconFile, std::string& templateFile, FilePickers& pickers) {
    if (!ConfirmCustomization(owner, boxes, settings.general.customWarnings)) return false;
    CCustomizationDialog dialog(topic, settings, boxes, pickers, owner);
    dialog.SetFileNames(iconFile, templateFile);
    for (const SourceEntry& source : LoadTopicSources(topic)) dialog.AddSource(source);
    if (dialog.exec() != QDialog::Accepted) return false;
    iconFile = dialog.IconFile();
    templateFile = dialog.TemplateFile();
    return true;
}

}  // namespace tp
