#pragma once
// The list's length, format and size columns and the totals line under it,
// kept current as rows come and go, facts arrive, and rows or profiles
// change: facts are read off the window's thread, so a row shows at once
// and its facts fill in.

#include <QObject>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/list_facts.h"
#include "app/ui/facts_filler.h"

class QLabel;
class QWidget;

namespace qorvane {

class JobListModel;

class JobListFacts final : public QObject {
    Q_OBJECT
public:
    // Without a reader nothing is read and every size is unknown. The
    // profiles are read from `profileDir` by the rows' profile names.
    JobListFacts(JobList& list, JobListModel& model, std::filesystem::path profileDir,
                 const MediaFactsReader* reader, QWidget* window);
    ~JobListFacts() override;

    // "12 件　推定サイズ 約 1.2 GB　長さ 1:02:03", for under the list.
    QLabel* totalsLabel() const { return totals_; }
    ListFacts& facts() { return facts_; }

protected:
    // The window coming back to the front (the profile editor closed, a
    // profile changed elsewhere): profiles are read anew.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::string cellText(const EncodeJob& job, int column);
    void rowsAdded(int first, int last);
    void factsRead(std::vector<FactsFiller::Result> batch);
    void refresh();

    JobList& list_;
    JobListModel& model_;
    ListFacts facts_;
    std::unique_ptr<FactsFiller> filler_;
    QLabel* totals_;
    QTimer refreshTimer_;
};

}  // namespace qorvane
