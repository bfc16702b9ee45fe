#pragma once
// The job list as an item model: one row per EncodeJob, the seven visible
// columns (File, Profile, Title, Author, Album, Year, Copy), then the length,
// format and estimated size of the row's source and outputs. Path and OutDir
// stay in the list, without a column. The model only shows the list; every
// change goes through the JobList, which tells the model.

#include <QAbstractTableModel>
#include <functional>
#include <string>

#include "app/job_list.h"

namespace qorvane {

class JobListModel final : public QAbstractTableModel, private JobListObserver {
    Q_OBJECT
public:
    explicit JobListModel(JobList& list, QObject* parent = nullptr);
    ~JobListModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The text of the length, format and size columns (kJobColumnCount and on).
    using FactsText = std::function<std::string(const EncodeJob& job, int column)>;
    void setFactsText(FactsText text) { factsText_ = std::move(text); }
    // Those columns have changed, in any row.
    void factsChanged();

private:
    void rowsAboutToBeInserted(std::size_t first, std::size_t last) override;
    void rowsInserted() override;
    void rowsAboutToBeRemoved(std::size_t first, std::size_t last) override;
    void rowsRemoved() override;
    void rowChanged(std::size_t row, JobField field) override;

    JobList& list_;
    FactsText factsText_;
};

}  // namespace qorvane
