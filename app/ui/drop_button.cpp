#include "app/ui/drop_button.h"

#include <QLineEdit>
#include <QToolButton>

namespace qorvane {

QToolButton* NewDropButton(QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setText(QStringLiteral("v"));
    button->setFocusPolicy(Qt::StrongFocus);
    button->setFixedWidth(15);
    return button;
}

QToolButton* AttachDropButton(QLineEdit* edit) {
    QToolButton* button = NewDropButton(edit->parentWidget());
    button->setGeometry(edit->x() + edit->width() - 1, edit->y(), 15, edit->height());
    return button;
}

}  // namespace qorvane
