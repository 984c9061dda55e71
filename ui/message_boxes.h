// Every message box and beep of the program goes through this interface, so
// tests can answer the boxes by queueing replies instead of clicking.
#pragma once

#include <QString>

class QWidget;

namespace tp {

class MessageBoxes {
public:
    enum class AskStyle {
        Question,  // question icon, Yes is the default button
        Caution,   // error icon, No is the default button: for what cannot be undone
    };

    enum class Choice { Yes, No, Cancel };

    virtual ~MessageBoxes() = default;

    // Information icon, OK button.
    virtual void Inform(QWidget* owner, const QString& caption, const QString& text) = 0;
    // Exclamation icon, OK button.
    virtual void Warn(QWidget* owner, const QString& caption, const QString& text) = 0;
    // Yes and No buttons; true for Yes.
    virtual bool Ask(QWidget* owner, const QString& caption, const QString& text,
                     AskStyle style = AskStyle::Question) = 0;
    // Yes, No and Cancel buttons, question icon, Yes the default; Escape and
    // the box's close button answer Cancel.
    virtual Choice AskOrCancel(QWidget* owner, const QString& caption, const QString& text) = 0;
    // Retry and Cancel buttons, exclamation icon; true for Retry. Escape and
    // the close button answer Cancel.
    virtual bool AskRetry(QWidget* owner, const QString& caption, const QString& text) = 0;
    // The system's short sound for a refused action.
    virtual void Beep() = 0;
};

// The real boxes, modal to their owner.
class WidgetMessageBoxes : public MessageBoxes {
public:
    void Inform(QWidget* owner, const QString& caption, const QString& text) override;
    void Warn(QWidget* owner, const QString& caption, const QString& text) override;
    bool Ask(QWidget* owner, const QString& caption, const QString& text, AskStyle style) override;
    Choice AskOrCancel(QWidget* owner, const QString& caption, const QString& text) override;
    bool AskRetry(QWidget* owner, const QString& caption, const QString& text) override;
    void Beep() override;
};

}  // namespace tp
