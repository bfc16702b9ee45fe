#include "app/ui/qt_message_boxes.h"

#include <QMessageBox>

#include "app/ui/ui_font.h"

namespace qorvane {

void QtMessageBoxes::warning(const std::string& caption, const std::string& text) {
    QMessageBox box(QMessageBox::Warning, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Ok);
    box.setFont(JapaneseUiFont());
    box.exec();
}

bool QtMessageBoxes::question(const std::string& caption, const std::string& text) {
    QMessageBox box(QMessageBox::Warning, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No);
    box.setFont(JapaneseUiFont());
    return box.exec() == QMessageBox::Yes;
}

}  // namespace qorvane
