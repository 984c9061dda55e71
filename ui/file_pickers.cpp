#include "ui/file_pickers.h"

#include <QFileDialog>
#include <QStringList>

namespace tp {
namespace {

// "*.*" means every file on Windows; here it would leave out names without a
// dot, so the dialog is given "*" in its place.
QString DialogFilter(const FileFilter& filter) {
    const QString pattern = filter.pattern == QStringLiteral("*.*") ? QStringLiteral("*") : filter.pattern;
    QString label = filter.label;
    const QString shownPattern = QStringLiteral("(%1)").arg(filter.pattern);
    if (label.endsWith(shownPattern)) label.chop(shownPattern.size());
    return QStringLiteral("%1(%2)").arg(label.endsWith(QLatin1Char(' ')) ? label : label + QLatin1Char(' '),
                                        pattern);
}

}  // namespace

QString WidgetFilePickers::OpenFile(QWidget* owner, const QString& folder, const QString& fileName,
                                    const QList<FileFilter>& filters) {
    QFileDialog dialog(owner);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDirectory(folder);
    QStringList nameFilters;
    for (const FileFilter& filter : filters) nameFilters.append(DialogFilter(filter));
    dialog.setNameFilters(nameFilters);
    // A preset name with wildcards only filters the listing.
    if (!fileName.contains(QLatin1Char('*')) && !fileName.contains(QLatin1Char('?'))) dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

}  // namespace tp
