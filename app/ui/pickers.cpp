#include "app/ui/pickers.h"

#include <QCoreApplication>
#include <QFileDialog>

#include "controls/sb_dialog.h"

namespace qorvane {

std::optional<QString> QtPickers::chooseFolder(QWidget* owner, const QString& startFolder) {
    TSBDialog picker(owner);
    picker.Directory = startFolder;
    if (!picker.Execute()) return std::nullopt;
    return picker.Directory;
}

std::optional<QString> QtPickers::chooseSoundFile(QWidget* owner, const QString& initialDir) {
    QFileDialog dialog(owner, QCoreApplication::translate("qorvane::QtPickers", "音の選択"), initialDir,
                       QCoreApplication::translate("qorvane::QtPickers", "音ファイル (*.wav)"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(QStringLiteral("wav"));
    dialog.selectFile(QString());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

}  // namespace qorvane
