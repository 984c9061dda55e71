// Drives the modal dialog that the next exec() opens, from inside its event
// loop: the action runs once the dialog is on the screen, and a dialog the
// action leaves open is cancelled so that exec() returns.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <memory>

namespace tp::test {

// The returned flag tells, once the events have been processed, whether a
// modal dialog of class D was found (and the action run).
template <class D, class F>
std::shared_ptr<bool> OnNextModal(F action) {
    auto found = std::make_shared<bool>(false);
    QTimer::singleShot(0, [found, action] {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        if (!dialog) return;
        *found = true;
        action(*dialog);
        if (dialog->isVisible()) dialog->reject();
    });
    return found;
}

}  // namespace tp::test
