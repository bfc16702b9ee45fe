#pragma once
// One watched folder: the folder, the profile its files are converted with,
// the output folder and whether the folder structure is kept. OK is
// possible once a folder is named.

#include <QDialog>
#include <QStringList>

#include "app/watch_rules.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace qorvane {

class Pickers;
class TUpDnButton;

class TWatchDlg : public QDialog {
    Q_OBJECT
public:
    // `profiles` fills the drop-down; an entry's profile missing from it is
    // added, so that nothing is lost by opening and confirming.
    TWatchDlg(const WatchedFolder& folder, const QStringList& profiles, Pickers& pickers, QWidget* parent = nullptr);

    // The fields as they stand.
    WatchedFolder folder() const;

    QLineEdit* edFolder;
    TUpDnButton* UpDnFolder;
    QComboBox* cbProfile;
    QLineEdit* edOut;
    TUpDnButton* UpDnOut;
    QCheckBox* cbKeepTree;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

private:
    void chooseFolder(QLineEdit* edit);

    Pickers& pickers_;
};

}  // namespace qorvane
