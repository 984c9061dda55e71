// What every dialog of the program builds the same way: the tab order in
// dialog order, its push buttons, the program title on message boxes, the "?"
// button and the focus on a field whose value was refused.
#pragma once

#include <QString>

#include <vector>

class QLineEdit;
class QPushButton;
class QWidget;

namespace tp {

// The caption of the program's message boxes.
QString ProgramTitle();

// The controls of a dialog in dialog order, collected as they are built; the
// tab order follows it, skipping what takes no focus.
class DialogOrder {
public:
    template <class W>
    W* Add(W* widget) {
        widgets_.push_back(widget);
        return widget;
    }
    void ApplyTabOrder() const;

private:
    std::vector<QWidget*> widgets_;
};

// A push button named name that does not become the default when it has the
// focus (Enter keeps pressing the dialog's default button).
QPushButton* NewPushButton(const QString& text, const QString& name);

// A "?" button that opens help text textId over owner.
QPushButton* NewHelpButton(int textId, const QString& name, QWidget* owner);

// A field the user reads but does not type into, drawn on the window's own
// background so that it does not look editable.
void ShowReadOnly(QLineEdit* field);

// Moves the focus to the next control after widget that takes the Tab key.
void FocusNextAfter(QWidget* widget);

// Puts the focus on a field whose value was refused, with its text selected,
// when the field is on the screen; a field of a dialog that is closed is left.
void FocusRefusedField(QWidget* field);

}  // namespace tp
