#include "app/ui/column_menu.h"

#include <QHeaderView>
#include <QMenu>

namespace qorvane {

ColumnMenu::ColumnMenu(QHeaderView& header) : QObject(&header), header_(header) {
    header_.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&header_, &QHeaderView::customContextMenuRequested, this, &ColumnMenu::showMenu);
}

void ColumnMenu::restore(const AppSettings& settings) {
    for (int i = 0; i < kListColumnCount; ++i) {
        const int width = i < kJobColumnCount ? settings.columnWidths[static_cast<std::size_t>(i)]
                                              : settings.factsColumnWidths[static_cast<std::size_t>(i - kJobColumnCount)];
        header_.resizeSection(i, width);
        hiddenWidths_[static_cast<std::size_t>(i)] = width;
        setShown(i, settings.columnShown[static_cast<std::size_t>(i)]);
    }
}

void ColumnMenu::store(MainWindowState& window) const {
    for (int i = 0; i < kListColumnCount; ++i) {
        const bool shown = !header_.isSectionHidden(i);
        const int width = shown ? header_.sectionSize(i) : hiddenWidths_[static_cast<std::size_t>(i)];
        if (i < kJobColumnCount) {
            window.columnWidths[static_cast<std::size_t>(i)] = width;
        } else {
            window.factsColumnWidths[static_cast<std::size_t>(i - kJobColumnCount)] = width;
        }
        window.columnShown[static_cast<std::size_t>(i)] = shown;
    }
}

void ColumnMenu::setShown(int column, bool shown) {
    if (column <= 0 || column >= kListColumnCount || shown != header_.isSectionHidden(column)) return;
    if (shown) {
        header_.showSection(column);
        header_.resizeSection(column, hiddenWidths_[static_cast<std::size_t>(column)]);
    } else {
        hiddenWidths_[static_cast<std::size_t>(column)] = header_.sectionSize(column);
        header_.hideSection(column);
    }
}

QMenu* ColumnMenu::buildMenu() {
    auto* menu = new QMenu(&header_);
    const QAbstractItemModel* model = header_.model();
    for (int column = 1; column < kListColumnCount; ++column) {
        QAction* action = menu->addAction(model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString());
        action->setCheckable(true);
        action->setChecked(!header_.isSectionHidden(column));
        connect(action, &QAction::toggled, this, [this, column](bool shown) { setShown(column, shown); });
    }
    return menu;
}

void ColumnMenu::showMenu(const QPoint& at) {
    QMenu* menu = buildMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(header_.viewport()->mapToGlobal(at));
}

}  // namespace qorvane
