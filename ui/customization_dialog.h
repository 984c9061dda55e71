// "<topic> XML page customization": a topic's icon file, its page template and
// the web addresses and tags of its sources.
#pragma once

#include "settings/custom_sources.h"
#include "settings/settings_model.h"

#include <QDialog>

#include <string>
#include <string_view>
#include <vector>

class QComboBox;
class QLineEdit;

namespace tp {

class CWebAddressDialog;
class FilePickers;
class MessageBoxes;
struct FileFilter;

class CCustomizationDialog : public QDialog {
    Q_OBJECT
public:
    // settings: those under which the web address dialog's Test checks a source.
    CCustomizationDialog(std::string_view topic, const Settings& settings, MessageBoxes& boxes, FilePickers& pickers,
                         QWidget* parent);

    // The topic's icon and template file names, as its settings hold them.
    void SetFileNames(const std::string& iconFile, const std::string& templateFile);
    // Lists source under "URL:" (the first one added is selected). False when
    // kMaxTopicSources are listed already.
    bool AddSource(const SourceEntry& source);

    // After Save: the file names as saved. The sources were stored by Save.
    const std::string& IconFile() const { return iconFile_; }
    const std::string& TemplateFile() const { return templateFile_; }

    // Save: refused without a message while a file name is shorter than five
    // characters; otherwise every source's address and tags are stored.
    void accept() override;

private:
    void PickFile(QLineEdit* field, const QString& fileName, const QList<FileFilter>& filters);
    void OfferCopy(const QString& chosen);
    // "...": the web address dialog of the source selected; "Test...": the
    // same with its source workbench open over it.
    void EditSelectedSource(bool test);

    MessageBoxes& boxes_;
    FilePickers& pickers_;
    std::vector<SourceEntry> sources_;
    std::string iconFile_;
    std::string templateFile_;
    QLineEdit* iconField_ = nullptr;
    QLineEdit* templateField_ = nullptr;
    QComboBox* sourceList_ = nullptr;
    CWebAddressDialog* webAddress_ = nullptr;
};

}  // namespace tp
