#include "app/ui/qt_message_boxes.h"

#include <QApplication>
#include <QMessageBox>

#include "controls/ui_font.h"

namespace qorvane {

namespace {

// A box raised from a modal dialog belongs to that dialog; otherwise to the
// desktop.
QWidget* Owner() { return QApplication::activeModalWidget(); }

}  // namespace

void QtMessageBoxes::warning(const std::string& caption, const std::string& text) {
    QMessageBox box(QMessageBox::Warning, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Ok, Owner());
    box.setFont(JapaneseUiFont());
    box.exec();
}

bool QtMessageBoxes::question(const std::string& caption, const std::string& text) {
    QMessageBox box(QMessageBox::Warning, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No, Owner());
    box.setFont(JapaneseUiFont());
    return box.exec() == QMessageBox::Yes;
}

}  // namespace qorvane
