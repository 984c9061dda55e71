#include "ui/dialog_controls.h"

#include "ui/help_dialog.h"

#include <QComboBox>
#include <QFile>
#include <QPushButton>

#include <algorithm>

namespace tp {

QPushButton* NewSmallButton(const QString& text, const QString& name) {
    auto* button = new QPushButton(text);
    button->setObjectName(name);
    button->setAutoDefault(false);
    const int side = button->sizeHint().height();
    button->setFixedWidth(std::max(side + side / 4, button->fontMetrics().horizontalAdvance(text) + side / 2));
    return button;
}

void SetChoice(QComboBox* list, int index) {
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

void CollectChoice(const QComboBox* list, int& index) {
    if (list->currentIndex() >= 0) index = list->currentIndex();
}

QString PathText(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

void OpenHelp(int textId, QWidget* owner) {
    auto* help = new CHelpDialog(textId, owner);
    help->setAttribute(Qt::WA_DeleteOnClose);
    help->open();
}

}  // namespace tp
