#pragma once
// The part of the environment dialog about watched folders: the check box
// "フォルダを監視する" and the list of folders, each with its profile, its
// output folder and whether the folder structure is kept, with buttons to
// add, change and remove one.

#include <QStringList>
#include <QWidget>

#include "app/watch_settings.h"

class QCheckBox;
class QPushButton;
class QTreeWidget;

namespace qorvane {

class Pickers;

class WatchFoldersPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 150;

    WatchFoldersPanel(Pickers& pickers, QWidget* parent);

    void setSettings(const WatchSettings& watch);
    WatchSettings settings() const;
    // The profiles a folder may be given.
    void setProfileNames(const QStringList& names) { profiles_ = names; }

    QCheckBox* cbWatch;
    QTreeWidget* lvWatch;
    QPushButton* btAdd;
    QPushButton* btChange;
    QPushButton* btRemove;

public slots:
    void addClick();
    void changeClick();
    void removeClick();

private:
    void showFolders();
    void updateButtons();

    Pickers& pickers_;
    QStringList profiles_;
    std::vector<WatchedFolder> folders_;
};

}  // namespace qorvane
