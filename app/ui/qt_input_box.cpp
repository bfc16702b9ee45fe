#include "app/ui/qt_input_box.h"

#include <QApplication>
#include <QInputDialog>

#include "controls/ui_font.h"

namespace qorvane {

std::optional<std::string> QtInputBox::ask(const std::string& caption, const std::string& prompt,
                                           const std::string& text) {
    QInputDialog box(QApplication::activeModalWidget());
    box.setFont(JapaneseUiFont());
    box.setInputMode(QInputDialog::TextInput);
    box.setWindowTitle(QString::fromStdString(caption));
    box.setLabelText(QString::fromStdString(prompt));
    box.setTextValue(QString::fromStdString(text));
    box.setOkButtonText(QCoreApplication::translate("qorvane::QtInputBox", "OK"));
    box.setCancelButtonText(QCoreApplication::translate("qorvane::QtInputBox", "キャンセル"));
    if (box.exec() != QDialog::Accepted) return std::nullopt;
    return box.textValue().toStdString();
}

}  // namespace qorvane
