#include "app/ui/pickers.h"

#include <QFileDialog>

namespace qorvane {

std::optional<QString> QtPickers::chooseFolder(QWidget* owner, const QString& startFolder) {
    QString start = startFolder;
    // A trailing separator is dropped, except for the root itself.
    if (start.size() > 1 && start.endsWith(QLatin1Char('/'))) start.chop(1);
    const QString folder = QFileDialog::getExistingDirectory(owner, QString(), start);
    if (folder.isEmpty()) return std::nullopt;
    return folder;
}

std::optional<QString> QtPickers::chooseSoundFile(QWidget* owner, const QString& initialDir) {
    QFileDialog dialog(owner, QStringLiteral("音の選択"), initialDir,
                       QStringLiteral("音ファイル (*.wav)"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(QStringLiteral("wav"));
    dialog.selectFile(QString());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

}  // namespace qorvane
