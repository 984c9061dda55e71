// "About Tidepost": the version, what the program is for, and a link that
// writes to its makers with the version as the mail's subject.
#pragma once

#include <QDialog>

namespace tp {

class CBitmapStatic;
class CHotStatic;
class MessageBoxes;

class CAboutDialog : public QDialog {
    Q_OBJECT
public:
    // boxes: the beep of a mail link that no handler takes.
    CAboutDialog(MessageBoxes& boxes, QWidget* parent = nullptr);

    QString VersionText() const { return version_; }

private:
    QString version_;
    CHotStatic* nameLink_ = nullptr;
    CBitmapStatic* picture_ = nullptr;
};

}  // namespace tp
