// Every file-open dialog of the program goes through this interface, so tests
// can answer the pickers by queueing paths instead of clicking.
#pragma once

#include <QList>
#include <QString>

class QWidget;

namespace tp {

// One choice of the picker's file type list: the text shown and the pattern,
// in the program's Windows-style notation ("*.*" is every file).
struct FileFilter {
    QString label;
    QString pattern;
};

class FilePickers {
public:
    virtual ~FilePickers() = default;

    // Lets the user choose an existing file, starting in folder with fileName
    // preset; the first filter applies at first. The chosen file's path, or the
    // empty text when the picker was cancelled.
    virtual QString OpenFile(QWidget* owner, const QString& folder, const QString& fileName,
                             const QList<FileFilter>& filters) = 0;
};

// The real file-open dialog, modal to its owner.
class WidgetFilePickers : public FilePickers {
public:
    QString OpenFile(QWidget* owner, const QString& folder, const QString& fileName,
                     const QList<FileFilter>& filters) override;
};

}  // namespace tp
