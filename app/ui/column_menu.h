#pragma once
// The job list header's context menu: every column but the first can be
// shown or hidden. The widths of hidden columns are kept, for when they are
// shown again and for the settings file.

#include <QObject>
#include <array>

#include "app/settings.h"

class QHeaderView;
class QMenu;
class QPoint;

namespace qorvane {

class ColumnMenu final : public QObject {
    Q_OBJECT
public:
    explicit ColumnMenu(QHeaderView& header);

    // The widths and the shown columns of the settings.
    void restore(const AppSettings& settings);
    // The widths as they stand (a hidden column's as it was) and which are shown.
    void store(MainWindowState& window) const;

    // The menu as the header's context menu shows it: one checkable item per
    // column but the first, with its caption. The caller owns it.
    QMenu* buildMenu();
    void setShown(int column, bool shown);

private:
    void showMenu(const QPoint& at);

    QHeaderView& header_;
    std::array<int, kListColumnCount> hiddenWidths_{};
};

}  // namespace qorvane
