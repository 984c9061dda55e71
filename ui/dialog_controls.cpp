#include "ui/dialog_controls.h"

#include "ui/bitmap_static.h"
#include "ui/dialog_kit.h"
#include "ui/help_dialog.h"

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QPushButton>

#include <algorithm>

namespace tp {

void TopicFrame::ShowState() const { picture->SetBitmap(box->isChecked() ? onPicture : offPicture); }

void TopicFrame::Apply(bool& flag, bool focusNext) const {
    flag = box->isChecked();
    if (flag && focusNext) FocusNextAfter(box);
    ShowState();
}

TopicFrame NewTopicFrame(const QString& title, const char* name, int onPicture, int offPicture) {
    TopicFrame frame;
    frame.box = new QGroupBox(title);
    frame.box->setObjectName(QLatin1String(name) + QStringLiteral("GroupBox"));
    frame.box->setCheckable(true);
    frame.picture = new CBitmapStatic(QSize(56, 40));
    frame.picture->setObjectName(QLatin1String(name) + QStringLiteral("BitmapStatic"));
    frame.onPicture = onPicture;
    frame.offPicture = offPicture;
    return frame;
}

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
