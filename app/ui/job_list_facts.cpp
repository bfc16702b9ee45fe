#include "app/ui/job_list_facts.h"

#include <QEvent>
#include <QLabel>
#include <QWidget>

#include "app/facts_text.h"
#include "app/settings.h"
#include "app/ui/job_list_model.h"
#include "profiles/profile_names.h"

namespace qorvane {

namespace {

// Changes are gathered for this long before the columns and the totals are
// shown anew: ten thousand rows added one by one cost one count, not ten thousand.
constexpr int kRefreshDelayMs = 100;

constexpr const char* kReadingMark = "…";
constexpr const char* kUnknownSize = "—";

}  // namespace

JobListFacts::JobListFacts(JobList& list, JobListModel& model, std::filesystem::path profileDir,
                           const MediaFactsReader* reader, QWidget* window)
    : QObject(window),
      list_(list),
      model_(model),
      facts_([dir = std::move(profileDir)](const std::string& name) {
          return PrepareEncodingProfile(LoadProfile(ProfilePath(dir, name)));
      }),
      totals_(new QLabel(window)) {
    if (reader != nullptr) {
        filler_ = std::make_unique<FactsFiller>(*reader, [this](std::vector<FactsFiller::Result> batch) {
            factsRead(std::move(batch));
        });
    }
    totals_->setContentsMargins(6, 2, 6, 2);
    totals_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    refreshTimer_.setSingleShot(true);
    refreshTimer_.setInterval(kRefreshDelayMs);
    connect(&refreshTimer_, &QTimer::timeout, this, &JobListFacts::refresh);

    model_.setFactsText([this](const EncodeJob& job, int column) { return cellText(job, column); });
    const auto later = [this] { refreshTimer_.start(); };
    connect(&model_, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { rowsAdded(first, last); });
    connect(&model_, &QAbstractItemModel::rowsRemoved, this, later);
    connect(&model_, &QAbstractItemModel::modelReset, this, later);
    connect(&model_, &QAbstractItemModel::dataChanged, this,
            [later](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                const int profile = static_cast<int>(JobField::Profile);
                if (topLeft.column() <= profile && profile <= bottomRight.column()) later();
            });
    window->installEventFilter(this);
    refresh();
}

JobListFacts::~JobListFacts() {
    // The threads stop before the facts they deliver into go.
    filler_.reset();
    model_.setFactsText({});
}

std::string JobListFacts::cellText(const EncodeJob& job, int column) {
    if (facts_.reading(job.Path)) return kReadingMark;
    const MediaFacts* facts = facts_.facts(job.Path);
    switch (column - kJobColumnCount) {
        case 0: return facts && facts->duration ? FormatDuration(*facts->duration) : std::string();
        case 1: return facts ? FormatMediaFacts(*facts) : std::string();
        default: {
            const std::optional<JobSize> size = facts_.size(job);
            return size && size->bytes ? FormatByteSize(*size->bytes) : kUnknownSize;
        }
    }
}

void JobListFacts::rowsAdded(int first, int last) {
    std::vector<std::string> unread =
        facts_.takeUnread(list_, static_cast<std::size_t>(first), static_cast<std::size_t>(last));
    if (filler_) {
        filler_->read(std::move(unread));
    } else {
        for (const std::string& path : unread) facts_.store(path, std::nullopt);
    }
    refreshTimer_.start();
}

void JobListFacts::factsRead(std::vector<FactsFiller::Result> batch) {
    for (auto& [path, facts] : batch) facts_.store(path, std::move(facts));
    if (!refreshTimer_.isActive()) refreshTimer_.start();
}

void JobListFacts::refresh() {
    model_.factsChanged();
    totals_->setText(QString::fromStdString(ListTotalsText(facts_.totals(list_))));
}

bool JobListFacts::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        facts_.reloadProfiles();
        refreshTimer_.start();
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace qorvane
