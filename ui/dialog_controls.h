// Small building blocks that every dialog of the program builds with: the
// narrow list buttons, drop-down lists bound to an index, file names shown as
// text, and the help window of a "?" button.
#pragma once

#include <QString>

#include <string>

class QComboBox;
class QGroupBox;
class QPushButton;
class QWidget;

namespace tp {

class CBitmapStatic;

// A topic's checkable frame, which enables and disables the controls it holds,
// and the picture beside it that shows whether the topic is on.
struct TopicFrame {
    QGroupBox* box = nullptr;
    CBitmapStatic* picture = nullptr;
    int onPicture = 0;
    int offPicture = 0;

    // The "on" or "off" picture, as the box is ticked or not.
    void ShowState() const;
    // After a click (focusNext) or at opening: flag takes the box's state, the
    // picture follows it, and a click that turns the topic on moves the focus
    // to the topic's first control.
    void Apply(bool& flag, bool focusNext) const;
};

// The frame named name + "GroupBox" with its picture name + "BitmapStatic"
// (56 by 40), showing nothing until ShowState.
TopicFrame NewTopicFrame(const QString& title, const char* name, int onPicture, int offPicture);

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
