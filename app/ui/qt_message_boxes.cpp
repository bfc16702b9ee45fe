#include "app/ui/qt_message_boxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

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

void QtMessageBoxes::warningWithDetails(const std::string& caption, const std::string& text,
                                        const std::string& detailsButton, const std::function<void()>& showDetails) {
    QMessageBox box(QMessageBox::Warning, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Ok, Owner());
    box.setFont(JapaneseUiFont());
    QAbstractButton* details = box.addButton(QString::fromStdString(detailsButton), QMessageBox::ActionRole);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
    if (box.clickedButton() == details && showDetails) showDetails();
}

bool QtMessageBoxes::question(const std::string& caption, const std::string& text) {
    QMessageBox box(QMessageBox::Warning, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No, Owner());
    box.setFont(JapaneseUiFont());
    return box.exec() == QMessageBox::Yes;
}

}  // namespace qorvane
