#include "app/ui/main_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <optional>

#include "app/hand_over.h"
#include "app/job_edits.h"
#include "app/refused_files.h"
#include "platform/directory_walk.h"
#include "app/startup.h"
#include "app/ui/column_menu.h"
#include "app/ui/environment_dialog.h"
#include "app/ui/job_list_facts.h"
#include "app/ui/job_list_model.h"
#include "app/ui/pickers.h"
#include "controls/ui_font.h"
#include "controls/window_frame.h"
#include "controls/typed_key.h"
#include "controls/updn_button.h"
#include "encode/ui/progress_dialog.h"
#include "platform/file_open_error.h"
#include "profiles/profile_names.h"
#include "profiles/ui/enc_set_dlg.h"

namespace qorvane {

namespace {

constexpr const char* kTagProperty = "Tag";

QString Q(const std::string& text) { return QString::fromStdString(text); }
std::string S(const QString& text) { return text.toStdString(); }

QLineEdit* NewField(QWidget* parent, int tag, int maxLength) {
    auto* edit = new QLineEdit(parent);
    edit->setMaxLength(maxLength);
    edit->setProperty(kTagProperty, tag);
    edit->setAcceptDrops(false);  // dropped files go to the window
    return edit;
}

}  // namespace

TQorvbyOstrel::TQorvbyOstrel(AppState& state, MainWindowServices services,
                             const std::vector<std::string>& arguments, QWidget* parent)
    : QMainWindow(parent), state_(state), services_(std::move(services)) {
    setFont(JapaneseUiFont());
    setWindowTitle(QString::fromUtf8(kMainWindowCaption));
    setAcceptDrops(true);
    model_ = new JobListModel(jobs_, this);
    facts_ = new JobListFacts(jobs_, *model_, state_.paths.profileDir, services_.factsReader, this);

    buildToolBar();
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildList();
    layout->addWidget(ListView1, 1);
    layout->addWidget(buildAddBar());
    layout->addWidget(facts_->totalsLabel());
    layout->addWidget(buildFieldPanel());
    setCentralWidget(central);

    // The list, the panel, then the toolbar from left to right.
    QWidget* const order[] = {ListView1, EdAuthor, edAlbum, edYear, edCopy, edTitle, edDir,
                              UpDnButton1, tbClose,  tbConv,  proList, tbChg,  tbAdd,   tbDel,   tbEnv};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
    buildShortcuts();

    FormCreate(arguments);
}

// The list and its model read jobs_, which as a member is gone before the
// child widgets are: they go first.
TQorvbyOstrel::~TQorvbyOstrel() {
    ListView1->viewport()->removeEventFilter(this);
    delete ListView1;
    delete facts_;
    delete model_;
}

void TQorvbyOstrel::buildList() {
    ListView1 = new QTreeView(this);
    ListView1->setModel(model_);
    ListView1->setRootIsDecorated(false);
    ListView1->setItemsExpandable(false);
    ListView1->setUniformRowHeights(true);  // keeps ten thousand rows quick
    ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setAllColumnsShowFocus(true);
    ListView1->setAcceptDrops(false);
    ListView1->header()->setStretchLastSection(false);
    ListView1->header()->setSectionsMovable(false);
    // Stored widths come back as they were, however narrow (the header's own
    // minimum follows the widest glyph of the font).
    ListView1->header()->setMinimumSectionSize(0);
    columns_ = new ColumnMenu(*ListView1->header());
    // The selection stays as visible when the list loses the focus.
    QPalette palette = ListView1->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    ListView1->setPalette(palette);
    ListView1->setAccessibleName(tr("ジョブ一覧"));
    ListView1->viewport()->installEventFilter(this);
    connect(ListView1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected, const QItemSelection&) { ListView1SelectItem(selected); });
}

QWidget* TQorvbyOstrel::buildFieldPanel() {
    auto* panel = new QWidget(this);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(6, 4, 6, 6);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);

    edTitle = NewField(panel, 0, 250);
    EdAuthor = NewField(panel, kAuthorTag, 250);
    edAlbum = NewField(panel, kAlbumTag, 250);
    edYear = NewField(panel, kYearTag, 4);
    edCopy = NewField(panel, kCopyTag, 250);
    edDir = NewField(panel, kOutDirTag, 250);
    edYear->setAttribute(Qt::WA_InputMethodEnabled, false);
    edYear->setInputMethodHints(Qt::ImhDigitsOnly);
    // Typed characters are filtered by key; this catches pasted text.
    edYear->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edYear));
    edYear->setFixedWidth(40);
    UpDnButton1 = new TUpDnButton(panel);
    UpDnButton1->setAssociate(edDir);
    UpDnButton1->setFixedHeight(edDir->sizeHint().height());
    UpDnButton1->setAccessibleName(tr("作成先を選ぶ"));
    connect(UpDnButton1, &TUpDnButton::clicked, this, &TQorvbyOstrel::UpDnButton1Click);

    auto label = [panel](const QString& text, QLineEdit* buddy) {
        auto* l = new QLabel(text, panel);
        l->setBuddy(buddy);
        buddy->setAccessibleName(WithoutMnemonic(text));
        return l;
    };
    grid->addWidget(label(tr("タイトル"), edTitle), 0, 0);
    grid->addWidget(edTitle, 0, 1);
    grid->addWidget(label(tr("アーティスト"), EdAuthor), 0, 2);
    grid->addWidget(EdAuthor, 0, 3);
    grid->addWidget(label(tr("アルバム"), edAlbum), 1, 0);
    grid->addWidget(edAlbum, 1, 1);
    grid->addWidget(label(tr("著作権"), edCopy), 1, 2);
    grid->addWidget(edCopy, 1, 3);
    grid->addWidget(label(tr("年"), edYear), 2, 0);
    auto* dirRow = new QHBoxLayout;
    dirRow->setSpacing(0);
    dirRow->addWidget(edYear);
    dirRow->addSpacing(12);
    dirRow->addWidget(label(tr("作成先"), edDir));
    dirRow->addSpacing(6);
    dirRow->addWidget(edDir, 1);
    dirRow->addWidget(UpDnButton1);
    grid->addLayout(dirRow, 2, 1, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    // Whatever changes a field's text (typing, paste, cut, undo, an input
    // method) is kept; setText from a selection and moving between the
    // controls are not edits.
    for (QLineEdit* edit : {edTitle, EdAuthor, edAlbum, edYear, edCopy, edDir}) {
        connect(edit, &QLineEdit::textEdited, this, [this, edit] { fieldEdited(edit); });
    }
    edYear->installEventFilter(this);
    return panel;
}

void TQorvbyOstrel::FormCreate(const std::vector<std::string>& arguments) {
    state_.encoder.cscriptPath = FindScriptHost(state_.paths.hostDir);
    state_.encoder.debugMode = IsDebugMode(arguments);

    const AppSettings& s = state_.settings;
    SetFrameBounds(*this, ClampIntoWorkArea({s.left, s.top, s.width, s.height}, state_.workArea));
    columns_->restore(s);

    std::error_code ec;
    std::filesystem::create_directories(state_.paths.profileDir, ec);
    const std::vector<std::string> names = ListProfileNames(state_.paths.profileDir);
    for (const auto& name : names) proList->addItem(Q(name));
    proList->setCurrentIndex(static_cast<int>(RememberedProfileIndex(names, s.prof)));

    for (EncodeJob& row : state_.restoredJobs) jobs_.append(std::move(row));
    state_.restoredJobs.clear();
    AddFiles(HandedOverFiles(arguments));  // a first "-debug" is a switch, never a refused file
}

void TQorvbyOstrel::AddJob(const std::string& path) { AddJob(path, {}, state_.settings.dir); }

void TQorvbyOstrel::AddJob(const std::string& path, const std::string& profile, const std::string& outDir) {
    const std::string name = profile.empty() ? S(proList->currentText()) : profile;
    if (qorvane::AddJob(jobs_, path, name, outDir, services_.readTags)) updateProgressCount();
}

void TQorvbyOstrel::AddFiles(const std::vector<std::string>& paths) {
    if (adding() || std::any_of(paths.begin(), paths.end(), [this](const std::string& path) {
            return services_.walk->kind(path) == DirectoryWalk::Kind::Folder;
        })) {
        startAdding(paths);
        return;
    }
    try {
        for (const auto& path : paths) AddJob(path);
    } catch (const FileOpenError& error) {
        services_.messages->warning(kMessageCaption, error.what());
    }
    const std::string refused = FormatRefusedFiles(RefusedFiles(paths));
    if (!refused.empty()) services_.messages->warning(kMessageCaption, refused);
}

std::vector<std::size_t> TQorvbyOstrel::selectedRows() const {
    std::vector<std::size_t> rows;
    const QModelIndexList selected = ListView1->selectionModel()->selectedRows();
    rows.reserve(static_cast<std::size_t>(selected.size()));
    for (const QModelIndex& index : selected) rows.push_back(static_cast<std::size_t>(index.row()));
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TQorvbyOstrel::updateProgressCount() {
    if (progress_) progress_->setCountText(Q(ProgressCountText(jobs_.size(), services_.jobsGoing())));
}

void TQorvbyOstrel::ListView1SelectItem(const QItemSelection& selected) {
    const QModelIndexList indexes = selected.indexes();
    if (indexes.isEmpty()) return;
    // The row the user went to when it is among the new ones, else the last.
    const QModelIndex current = ListView1->currentIndex();
    const int row = selected.contains(current) ? current.row() : indexes.constLast().row();
    const EncodeJob& job = jobs_[static_cast<std::size_t>(row)];
    edTitle->setText(Q(job.Title));
    EdAuthor->setText(Q(job.Author));
    edAlbum->setText(Q(job.Album));
    edYear->setText(Q(job.Year));
    edCopy->setText(Q(job.Copy));
    edDir->setText(Q(job.OutDir));
}

bool TQorvbyOstrel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ListView1->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        tbChgClick();
        return false;
    }
    if (watched == edYear && event->type() == QEvent::KeyPress) {
        const std::optional<char32_t> typed = TypedCharacter(*static_cast<QKeyEvent*>(event));
        if (typed && !IsYearCharacterAccepted(*typed)) return true;  // the character never reaches the field
    }
    return QMainWindow::eventFilter(watched, event);
}

void TQorvbyOstrel::fieldEdited(QLineEdit* edit) {
    const std::string text = S(edit->text());
    if (edit == edTitle) {
        ApplyTitleEdit(jobs_, selectedRows(), text);
    } else {
        ApplyFieldEdit(jobs_, edit->property(kTagProperty).toInt(), selectedRows(), text);
    }
}

void TQorvbyOstrel::proListChange() {
    SetProfileOfRows(jobs_, selectedRows(), S(proList->currentText()));
}

void TQorvbyOstrel::tbCloseClick() { close(); }

void TQorvbyOstrel::tbDelClick() {
    const auto rows = selectedRows();
    if (rows.empty()) return;
    jobs_.removeRows(rows);
    updateProgressCount();
}

void TQorvbyOstrel::tbChgClick() {
    if (services_.isConverting()) {
        services_.messages->warning(kMessageCaption, UiText(kRefusedWhileConvertingMessage));
        return;
    }
    OpenProfileEditor(ProfileToEdit(jobs_, selectedRows(), S(proList->currentText())));
}

void TQorvbyOstrel::OpenProfileEditor(const std::string& name) {
    state_.currentProfilePath = ProfilePath(state_.paths.profileDir, name);
    ProfileEditorServices editor;
    editor.messages = services_.messages;
    editor.inputBox = services_.inputBox;
    editor.codePage = services_.codePage;
    editor.workArea = state_.workArea;
    editor.cursor = QCursor::pos();
    editor.proList = proList;
    editor.proListChange = [this] { proListChange(); };
    TEncSetDlg dialog(state_.currentProfilePath, std::move(editor), this);
    dialog.setWindowTitle(tr("Profile - %1").arg(Q(name)));
    dialog.exec();
}

void TQorvbyOstrel::tbEnvClick() {
    TEnvDlg dialog(state_.settings, state_.workArea, *services_.pickers, QCursor::pos(), this);
    QStringList profiles;
    for (int i = 0; i < proList->count(); ++i) profiles << proList->itemText(i);
    dialog.setProfileNames(profiles);
    if (dialog.exec() == QDialog::Accepted) services_.settingsChanged();
}

void TQorvbyOstrel::UpDnButton1Click() {
    const auto rows = selectedRows();
    if (rows.empty()) return;
    const auto folder = services_.pickers->chooseFolder(this, Q(OutputFolderStart(jobs_[rows.front()])));
    if (!folder) return;
    edDir->setText(*folder);
    SetOutDirOfRows(jobs_, rows, S(*folder));
}

void TQorvbyOstrel::closeEvent(QCloseEvent* event) {
    // The encoder never goes on alone once the program is gone.
    if (services_.isConverting()) {
        if (!services_.messages->question(kMessageCaption, UiText(kCloseWhileConvertingQuestion))) {
            event->ignore();
            return;
        }
        services_.abortBatch();
    }
    saveSettings();
    services_.closing();
    event->accept();
}

void TQorvbyOstrel::saveSettings() {
    MainWindowState window;
    window.maximised = isMaximized();
    window.bounds = FrameBounds(*this);
    columns_->store(window);
    window.profileName = S(proList->currentText());
    SaveSettings(state_.paths.settingsFile, state_.settings, window);  // a failure is not reported
}

void TQorvbyOstrel::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TQorvbyOstrel::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TQorvbyOstrel::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) paths.push_back(S(url.toLocalFile()));
    }
    event->acceptProposedAction();
    if (paths.empty()) return;
    raise();
    activateWindow();
    // Added once the drop is over, so that a message box does not hold up
    // the program the files came from.
    QTimer::singleShot(0, this, [this, paths] { AddFiles(paths); });
}

}  // namespace qorvane
