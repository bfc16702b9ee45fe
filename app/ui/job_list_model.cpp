#include "app/ui/job_list_model.h"

#include <array>

#include "app/settings.h"

namespace qorvane {

namespace {

const std::array<const char*, kListColumnCount> kCaptions{
    QT_TRANSLATE_NOOP("qorvane::JobListModel", "名前"),
    QT_TRANSLATE_NOOP("qorvane::JobListModel", "プロファイル"),
    QT_TRANSLATE_NOOP("qorvane::JobListModel", "タイトル"),
    QT_TRANSLATE_NOOP("qorvane::JobListModel", "アーティスト"),
    QT_TRANSLATE_NOOP("qorvane::JobListModel", "アルバム"),
    QT_TRANSLATE_NOOP("qorvane::JobListModel", "年"),
    QT_TRANSLATE_NOOP("qorvane::JobListModel", "著作権"),
    QT_TRANSLATE_NOOP("qorvane::JobListModel", "長さ"),
    QT_TRANSLATE_NOOP("qorvane::JobListModel", "形式"),
    QT_TRANSLATE_NOOP("qorvane::JobListModel", "推定サイズ")};

// The length and the size read best aligned on their last digit.
bool RightAligned(int column) { return column == kJobColumnCount || column == kListColumnCount - 1; }

}  // namespace

JobListModel::JobListModel(JobList& list, QObject* parent) : QAbstractTableModel(parent), list_(list) {
    list_.setObserver(this);
}

JobListModel::~JobListModel() { list_.setObserver(nullptr); }

int JobListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(list_.size());
}

int JobListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kListColumnCount;
}

QVariant JobListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || static_cast<std::size_t>(index.row()) >= list_.size()) return {};
    if (role == Qt::TextAlignmentRole && RightAligned(index.column())) {
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole) return {};
    const EncodeJob& job = list_[static_cast<std::size_t>(index.row())];
    if (index.column() >= kJobColumnCount) {
        return factsText_ ? QString::fromStdString(factsText_(job, index.column())) : QString();
    }
    return QString::fromStdString(FieldOf(job, static_cast<JobField>(index.column())));
}

QVariant JobListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    if (section < 0 || section >= kListColumnCount) return {};
    return tr(kCaptions[static_cast<std::size_t>(section)]);
}

void JobListModel::factsChanged() {
    if (list_.empty()) return;
    emit dataChanged(index(0, kJobColumnCount), index(static_cast<int>(list_.size()) - 1, kListColumnCount - 1),
                     {Qt::DisplayRole});
}

void JobListModel::rowsAboutToBeInserted(std::size_t first, std::size_t last) {
    beginInsertRows(QModelIndex(), static_cast<int>(first), static_cast<int>(last));
}

void JobListModel::rowsInserted() { endInsertRows(); }

void JobListModel::rowsAboutToBeRemoved(std::size_t first, std::size_t last) {
    beginRemoveRows(QModelIndex(), static_cast<int>(first), static_cast<int>(last));
}

void JobListModel::rowsRemoved() { endRemoveRows(); }

void JobListModel::rowChanged(std::size_t row, JobField field) {
    const int column = static_cast<int>(field);
    if (column >= kJobColumnCount) return;  // Path and OutDir have no column
    const QModelIndex cell = index(static_cast<int>(row), column);
    emit dataChanged(cell, cell, {Qt::DisplayRole});
}

}  // namespace qorvane
