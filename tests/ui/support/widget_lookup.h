// Finding a dialog's widgets by object name and clicking them as a user does.
#pragma once

#include <QAbstractButton>
#include <QObject>
#include <QTest>

#include <gtest/gtest.h>

namespace tp::test {

// The child of root named name; a missing one fails the test and gives null.
template <class W = QWidget>
W* FindWidget(const QObject& root, const char* name) {
    W* widget = root.findChild<W*>(QLatin1String(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

// A click near the left end, where a check box's indicator and text are
// whatever its width.
inline void ClickButton(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

}  // namespace tp::test
