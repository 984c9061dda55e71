// Small building blocks that every dialog of the program builds with: the
// narrow list buttons, drop-down lists bound to an index, file names shown as
// text, and the help window of a "?" button.
#pragma once

#include <QString>

#include <string>

class QComboBox;
class QPushButton;
class QWidget;

namespace tp {

// A push button as narrow as its text allows and never narrower than it is
// tall ("+", "-", "C", "?", "->"); it never becomes the default button.
QPushButton* NewSmallButton(const QString& text, const QString& name);

// Selects entry index, or none when no entry has that index.
void SetChoice(QComboBox* list, int index);
// An index that matches no entry shows no selection and keeps the setting.
void CollectChoice(const QComboBox* list, int& index);

// File and folder names are file-system bytes, not Latin-1 text.
QString PathText(const std::string& path);

// Opens help text textId over owner without waiting for it to close.
void OpenHelp(int textId, QWidget* owner);

}  // namespace tp
