#include "gui/gui_fixture.h"

#include <QItemSelectionModel>
#include <QTreeView>

namespace qorvane::testing {

MainWindowTest::MainWindowTest() {
    state.paths = AppPathsIn(dir / "qorvane", dir.path());
    state.workArea = kArea;
    state.settings = DefaultSettings(kArea);
}

MainWindowTest::~MainWindowTest() = default;

TQorvbyOstrel& MainWindowTest::open(const std::vector<std::string>& arguments) {
    MainWindowServices services;
    services.messages = &messages;
    services.pickers = &pickers;
    services.readTags = readTags ? readTags : Id3TagReader(cp932);
    services.isConverting = [this] { return converting || (batchRunning && batchRunning()); };
    services.abortBatch = [this] {
        if (abortBatch) abortBatch();
    };
    services.inputBox = &input;
    services.codePage = &utf8;
    services.walk = &walk;
    services.factsReader = factsReader;
    window = std::make_unique<TQorvbyOstrel>(state, services, arguments);
    return *window;
}

std::string MainWindowTest::file(const std::string& name, const std::string& bytes) const {
    return dir.write(name, bytes).string();
}

void MainWindowTest::select(const std::vector<int>& rows) {
    QItemSelectionModel* model = window->ListView1->selectionModel();
    model->clearSelection();
    for (int row : rows) {
        model->setCurrentIndex(window->ListView1->model()->index(row, 0),
                               QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

std::vector<std::string> MainWindowTest::column(JobField field) const {
    std::vector<std::string> values;
    for (std::size_t i = 0; i < window->jobs().size(); ++i) values.push_back(FieldOf(window->jobs()[i], field));
    return values;
}

}  // namespace qorvane::testing
