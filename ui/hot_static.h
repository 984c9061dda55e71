// A text label that works as a web link: underlined, blue, red while the mouse
// is over it, purple once it has been opened. A click hands its address to the
// desktop; a failure beeps and leaves the link unvisited.
#pragma once

#include <QColor>
#include <QLabel>

namespace tp {

class MessageBoxes;

class CHotStatic : public QLabel {
    Q_OBJECT
public:
    CHotStatic(const QString& text, MessageBoxes& boxes, QWidget* parent = nullptr);

    // The address a click opens; while it is empty, the label's own text is used.
    void SetURL(const QString& address) { address_ = address; }
    QString URL() const { return address_; }

    bool IsHovering() const { return hover_; }
    bool IsVisited() const { return visited_; }
    // The colour the text is drawn in now.
    QColor TextColor() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Open();

    MessageBoxes& boxes_;
    QColor linkColor_{0, 0, 255};
    QColor visitedColor_{128, 0, 128};
    QColor hoverColor_{255, 0, 0};
    bool hover_ = false;
    bool visited_ = false;
    QString address_;
};

}  // namespace tp
