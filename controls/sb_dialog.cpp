#include "controls/sb_dialog.h"

#include <QFileDialog>
#include <QWidget>

namespace qorvane {

TSBDialog::TSBDialog(QWidget* owner) : QObject(owner), owner_(owner) {}

QString TSBDialog::StartFolder(const QString& directory) {
    QString start = directory;
    if (start.size() > 1 && start.endsWith(QLatin1Char('/'))) start.chop(1);
    return start;
}

void TSBDialog::prepare(QFileDialog& dialog) const {
    if (!Caption.isEmpty()) dialog.setWindowTitle(Caption);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // Only folders of the file system are offered; there is nothing else here.
    dialog.setOption(QFileDialog::ShowDirsOnly, Options.testFlag(biReturnOnlyFSDirs));
    // The old-style browser cannot make new folders; the new style can.
    dialog.setOption(QFileDialog::ReadOnly, !Options.testFlag(biNewStyle));
    const QString start = StartFolder(Directory);
    if (!start.isEmpty()) dialog.setDirectory(start);
}

bool TSBDialog::Execute() {
    QFileDialog dialog(owner_);
    prepare(dialog);
    if (dialog.exec() != QDialog::Accepted) return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.constFirst().isEmpty()) return false;  // nothing to hand back
    Directory = chosen.constFirst();
    return true;
}

}  // namespace qorvane
