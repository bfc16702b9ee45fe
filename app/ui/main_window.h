#pragma once
// The main window: the job list with its toolbar above and the tag fields
// below. Files dropped anywhere on it, or named on the command line, become
// rows.

#include <QMainWindow>
#include <functional>
#include <string>
#include <vector>

#include "app/add_job.h"
#include "app/app_state.h"
#include "app/job_list.h"
#include "platform/message_box.h"
#include "platform/ui_text.h"

class QComboBox;
class QLabel;
class QPushButton;
class QLineEdit;
class QToolBar;
class QToolButton;
class QTreeView;
class QItemSelection;

namespace qorvane {

class CodePage;
class DirectoryWalk;
class FolderAdder;
struct InputRowsSummary;
class ColumnMenu;
class InputBox;
class JobListFacts;
class JobListModel;
class MediaFactsReader;
class Pickers;
class TProDlg;
class TUpDnButton;

inline constexpr const char* kRefusedWhileConvertingMessage = QORVANE_UI_TEXT("変換中は変更できません");
inline constexpr const char* kCloseWhileConvertingQuestion =
    QORVANE_UI_TEXT("変換中です。中断して終了しますか?");

// A caption as a screen reader says it: without the "&" of its mnemonic.
QString WithoutMnemonic(QString caption);

// What the main window needs from outside.
struct MainWindowServices {
    MessageBoxes* messages = nullptr;
    Pickers* pickers = nullptr;
    TagReader readTags;
    // True while a batch is running.
    std::function<bool()> isConverting = [] { return false; };
    // Stops the running batch as the abort button does.
    std::function<void()> abortBatch = [] {};
    // The window closes for good (after the settings are saved).
    std::function<void()> closing = [] {};
    // The environment dialog was confirmed: the settings may have changed.
    std::function<void()> settingsChanged = [] {};
    // The jobs a running batch has taken and not yet finished.
    std::function<int()> jobsGoing = [] { return 1; };
    // The profile editor's prompt for a new name, and the code page typed
    // names are cleaned in.
    InputBox* inputBox = nullptr;
    const CodePage* codePage = nullptr;
    // Lists the folders dropped, named or picked (on a thread of its own).
    const DirectoryWalk* walk = nullptr;
    // Reads what each added source is (length, format) off the window's
    // thread; none: the facts columns stay empty and sizes unknown.
    const MediaFactsReader* factsReader = nullptr;
};

class TQorvbyOstrel : public QMainWindow {
    Q_OBJECT
public:
    // Runs the whole start of the window, command-line files included (a
    // message box may be shown before the window is).
    TQorvbyOstrel(AppState& state, MainWindowServices services,
                  const std::vector<std::string>& arguments, QWidget* parent = nullptr);
    ~TQorvbyOstrel() override;

    JobList& jobs() { return jobs_; }
    // The facts of the rows' sources and the sizes of their outputs.
    JobListFacts& listFacts() { return *facts_; }
    // The dialog whose count label follows the list; none until it exists.
    void setProgressDialog(TProDlg* dialog) { progress_ = dialog; }

    // Adds a file as AddJob does and updates the count. Throws
    // FileOpenError when the file cannot be read.
    void AddJob(const std::string& path);
    // The same with a profile (empty: the drop-down's) and an output folder
    // of its own, as a watched folder gives them.
    void AddJob(const std::string& path, const std::string& profile, const std::string& outDir);
    // Adds files in order; a file that cannot be read ends the run with a
    // message, and the files after it are not added. The files of kinds the
    // list does not take are named in one message afterwards. When a folder
    // is among them (or an adding still goes on) everything is added off
    // the window's thread (main_window_folders.cpp): the rows come in
    // batches, a line under the list counts them and offers to stop.
    void AddFiles(const std::vector<std::string>& paths);
    // True while folders are being added.
    bool adding() const;

    // Writes the settings file as closing the window does (FormCloseQuery).
    void saveSettings();

    // Selected rows, top to bottom.
    std::vector<std::size_t> selectedRows() const;

    QToolBar* ToolBar1;
    QToolButton* tbClose;
    QToolButton* tbConv;
    QComboBox* proList;
    QToolButton* tbChg;
    QToolButton* tbAdd;  // adds a folder chosen with the folder picker
    QToolButton* tbDel;
    QToolButton* tbEnv;
    QTreeView* ListView1;
    QLineEdit* edTitle;
    QLineEdit* EdAuthor;
    QLineEdit* edAlbum;
    QLineEdit* edYear;
    QLineEdit* edCopy;
    QLineEdit* edDir;
    TUpDnButton* UpDnButton1;
    QWidget* addBar;  // shown while folders are being added
    QLabel* addLabel;
    QPushButton* addCancel;

public slots:
    void tbCloseClick();
    void tbChgClick();
    void tbDelClick();
    void tbAddClick();
    void tbEnvClick();
    void UpDnButton1Click();

protected:
    void closeEvent(QCloseEvent* event) override;  // FormCloseQuery
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildToolBar();    // main_window_toolbar.cpp
    void buildShortcuts();  // main_window_toolbar.cpp
    void buildList();
    QWidget* buildFieldPanel();
    void FormCreate(const std::vector<std::string>& arguments);
    void ListView1SelectItem(const QItemSelection& selected);
    void fieldEdited(QLineEdit* edit);
    void proListChange();
    void OpenProfileEditor(const std::string& name);
    void updateProgressCount();
    QWidget* buildAddBar();  // main_window_folders.cpp
    void startAdding(const std::vector<std::string>& paths);
    void addingDone(const InputRowsSummary& summary);

    AppState& state_;
    MainWindowServices services_;
    JobList jobs_;
    JobListModel* model_;
    JobListFacts* facts_;
    ColumnMenu* columns_;
    TProDlg* progress_ = nullptr;
    FolderAdder* adder_ = nullptr;
    std::size_t addedRows_ = 0;  // by the adding going on
    QString lastFolder_;         // where the folder picker starts
};

}  // namespace qorvane
