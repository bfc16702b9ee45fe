// The main window: rows from drops and the command line, the tag fields,
// the toolbar, and the settings it saves when it closes.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QInputMethodEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>
#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <memory>

#include "app/job_edits.h"
#include "controls/updn_button.h"
#include "core/id3_test_bytes.h"
#include "encode/ui/progress_dialog.h"
#include "gui/gui_fixture.h"

namespace qorvane::testing {
namespace {

namespace fs = std::filesystem;

using Strings = std::vector<std::string>;

std::string TaggedMp3(const std::string& title, const std::string& artist) {
    return Tag(3, 0, Frame23("TIT2", Text(title)) + Frame23("TPE1", Text(artist))) + MpegAudio();
}

void Drop(QWidget* target, const Strings& paths) {
    auto* mime = new QMimeData;
    QList<QUrl> urls;
    for (const auto& path : paths) urls << QUrl::fromLocalFile(QString::fromStdString(path));
    mime->setUrls(urls);
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target->window(), &drop);
    QCoreApplication::processEvents();
    delete mime;
}

TEST_F(MainWindowTest, DropAddsAcceptedFilesInOrderCountsThemAndNamesTheRest) {
    TQorvbyOstrel& w = open();
    TProDlg progress(&w);
    w.setProgressDialog(&progress);
    const auto mp3 = file("a.mp3", TaggedMp3("Song", "Band"));
    Drop(w.edTitle, {mp3, file("b.txt"), file("C.WAV"), file("clip.mkv")});
    EXPECT_EQ(column(JobField::File), (Strings{"a.mp3", "C.WAV", "clip.mkv"}));
    EXPECT_EQ(column(JobField::Title), (Strings{"Song", "", ""}));
    EXPECT_EQ(column(JobField::Author), (Strings{"Band", "", ""}));
    EXPECT_EQ(column(JobField::Path), (Strings{mp3, (dir / "C.WAV").string(), (dir / "clip.mkv").string()}));
    EXPECT_EQ(column(JobField::Profile), (Strings{"Temporary", "Temporary", "Temporary"}));
    EXPECT_EQ(progress.Label2->text(), QStringLiteral("(4) "));
    EXPECT_EQ(progress.Label2->geometry().right() + 1, 45);  // right-aligned before the file name
    // One box, once the drop is over, names what was left out.
    EXPECT_EQ(messages.shown, (Strings{"qorv: 次のファイルは変換できない種類のため追加しませんでした (1 件)\n\nb.txt"}));

    messages.shown.clear();
    Drop(w.ListView1->viewport(), {mp3});  // the same file again: another row
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(w.jobs().size(), 4u);
    EXPECT_EQ(w.ListView1->model()->data(w.ListView1->model()->index(3, 2)).toString(), QStringLiteral("Song"));
}

TEST_F(MainWindowTest, UnreadableFileEndsTheDropWithAMessage) {
    TQorvbyOstrel& w = open();
    TProDlg progress(&w);
    w.setProgressDialog(&progress);
    const std::string gone = (dir / "gone.mp3").string();
    Drop(w.ListView1->viewport(), {file("a.wav"), gone, file("c.mp3")});
    EXPECT_EQ(column(JobField::File), (Strings{"a.wav", "gone.mp3"}));
    EXPECT_EQ(messages.shown, (Strings{"qorv: ファイル " + gone + " は開けません"}));
    EXPECT_EQ(progress.Label2->text(), QStringLiteral("(2) "));  // not counted for the failed file
}

TEST_F(MainWindowTest, CommandLineFilesBecomeRowsUntilOneCannotBeRead) {
    const fs::path cwd = fs::current_path();
    fs::current_path(dir.path());
    file("a.WAV");
    file("b.mp3");
    open({"-debug", "a.WAV", "b.txt", "gone.mp3", "b.mp3"});
    fs::current_path(cwd);
    EXPECT_TRUE(state.encoder.debugMode);
    EXPECT_EQ(column(JobField::Path), (Strings{(dir / "a.WAV").string(), (dir / "gone.mp3").string()}));
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1], "qorv: 次のファイルは変換できない種類のため追加しませんでした (1 件)\n\nb.txt");
}

TEST_F(MainWindowTest, SelectingARowFillsTheFields) {
    TQorvbyOstrel& w = open();
    w.AddFiles({file("a.mp3", TaggedMp3("One", "A1")), file("b.mp3", TaggedMp3("Two", "A2"))});
    w.jobs().setField(1, JobField::OutDir, "/out");
    select({1});
    EXPECT_EQ(w.edTitle->text(), QStringLiteral("Two"));
    EXPECT_EQ(w.EdAuthor->text(), QStringLiteral("A2"));
    EXPECT_EQ(w.edDir->text(), QStringLiteral("/out"));
    select({});
    EXPECT_EQ(w.edTitle->text(), QStringLiteral("Two"));  // an empty selection clears nothing
}

TEST_F(MainWindowTest, KeysInTheFieldsWriteTheSelectedRows) {
    TQorvbyOstrel& w = open();
    for (const char* name : {"0.wav", "1.wav", "2.wav", "3.wav"}) w.AddJob(file(name));
    select({1, 3});
    QTest::keyClicks(w.edAlbum, "Al");
    QTest::keyClicks(w.edTitle, "T");
    QTest::keyClicks(w.edDir, "/o");
    EXPECT_EQ(column(JobField::Album), (Strings{"", "Al", "", "Al"}));
    EXPECT_EQ(column(JobField::Title), (Strings{"", "T", "", ""}));
    EXPECT_EQ(column(JobField::OutDir), (Strings{"", "/o", "", "/o"}));
}

class FieldEditTest : public MainWindowTest {
protected:
    // Four tagged rows, rows 1 and 3 selected (the fields show row 3), on
    // a window that has the keyboard.
    TQorvbyOstrel& openWithTwoSelected() {
        TQorvbyOstrel& w = open();
        w.AddFiles({file("0.mp3", TaggedMp3("t0", "a0")), file("1.mp3", TaggedMp3("t1", "a1")),
                    file("2.mp3", TaggedMp3("t2", "a2")), file("3.mp3", TaggedMp3("t3", "a3"))});
        w.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        select({1, 3});
        return w;
    }
    // A key pressed where the focus is and released where the focus then is.
    static void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyPress(QApplication::focusWidget(), k, modifiers);
        QTest::keyRelease(QApplication::focusWidget(), k, modifiers);
    }
    // The field's own context menu entry, known by the key it names.
    static void trigger(QLineEdit* field, QKeySequence::StandardKey key) {
        std::unique_ptr<QMenu> menu(field->createStandardContextMenu());
        const QString suffix = u'\t' + QKeySequence(key).toString(QKeySequence::NativeText);
        const QList<QAction*> actions = menu->actions();
        const auto found = std::find_if(actions.begin(), actions.end(),
                                        [&](QAction* a) { return a->text().endsWith(suffix); });
        ASSERT_NE(found, actions.end()) << suffix.toStdString();
        ASSERT_TRUE((*found)->isEnabled()) << suffix.toStdString();
        (*found)->trigger();
    }
};

TEST_F(FieldEditTest, MovingThroughTheFieldsNeverWrites) {
    TQorvbyOstrel& w = openWithTwoSelected();
    ASSERT_EQ(w.EdAuthor->text(), QStringLiteral("a3"));
    w.ListView1->setFocus();
    key(Qt::Key_Tab);  // its release lands in the artist field
    ASSERT_EQ(QApplication::focusWidget(), w.EdAuthor);
    for (Qt::Key k : {Qt::Key_Left, Qt::Key_Home, Qt::Key_End, Qt::Key_Return, Qt::Key_Escape, Qt::Key_Tab,
                      Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Up, Qt::Key_Down}) {
        key(k);
    }
    key(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), w.edTitle);
    w.ListView1->setFocus();
    EXPECT_EQ(column(JobField::Author), (Strings{"a0", "a1", "a2", "a3"}));
    EXPECT_EQ(column(JobField::Title), (Strings{"t0", "t1", "t2", "t3"}));
}

TEST_F(FieldEditTest, EditsFromTheMenuAndAnInputMethodAreKept) {
    TQorvbyOstrel& w = openWithTwoSelected();
    QApplication::clipboard()->setText(QStringLiteral("Pasted"));
    w.edAlbum->setFocus();
    trigger(w.edAlbum, QKeySequence::Paste);
    EXPECT_EQ(column(JobField::Album), (Strings{"", "Pasted", "", "Pasted"}));
    trigger(w.edAlbum, QKeySequence::Undo);
    EXPECT_EQ(column(JobField::Album), (Strings{"", "", "", ""}));

    w.EdAuthor->setFocus();
    w.EdAuthor->selectAll();
    trigger(w.EdAuthor, QKeySequence::Cut);
    EXPECT_EQ(column(JobField::Author), (Strings{"a0", "", "a2", ""}));
    w.EdAuthor->paste();  // as Ctrl+V and the middle button paste
    EXPECT_EQ(column(JobField::Author), (Strings{"a0", "a3", "a2", "a3"}));

    w.edTitle->setFocus();
    w.edTitle->end(false);
    QInputMethodEvent composed;
    composed.setCommitString(QString::fromUtf8("最初"));
    QCoreApplication::sendEvent(w.edTitle, &composed);
    EXPECT_EQ(column(JobField::Title), (Strings{"t0", "t3最初", "t2", "t3"}));  // the title goes to its row only
}

TEST_F(MainWindowTest, YearFieldTakesFourDigits) {
    TQorvbyOstrel& w = open();
    w.AddJob(file("a.wav"));
    select({0});
    QTest::keyClicks(w.edYear, "19a-8");
    EXPECT_EQ(w.edYear->text(), QStringLiteral("198"));
    QTest::keyClick(w.edYear, Qt::Key_Backspace);
    QTest::keyClicks(w.edYear, "2345");
    EXPECT_EQ(w.edYear->text(), QStringLiteral("1923"));
    EXPECT_EQ(w.jobs()[0].Year, "1923");
}

TEST_F(MainWindowTest, DeleteRemovesSelectedRowsAndKeepsTheFields) {
    TQorvbyOstrel& w = open();
    TProDlg progress(&w);
    w.setProgressDialog(&progress);
    w.AddFiles({file("0.wav"), file("1.mp3", TaggedMp3("Kept", "x")), file("2.wav"), file("3.wav")});
    w.tbDel->click();  // nothing selected
    EXPECT_EQ(w.jobs().size(), 4u);
    select({0, 2});
    w.tbDel->click();
    EXPECT_EQ(column(JobField::File), (Strings{"1.mp3", "3.wav"}));
    EXPECT_EQ(progress.Label2->text(), QStringLiteral("(3) "));
    select({0, 1});
    w.tbDel->click();
    EXPECT_TRUE(w.jobs().empty());
    EXPECT_EQ(w.edTitle->text(), QStringLiteral(""));  // the fields show the last row selected
    select({});
    EXPECT_EQ(progress.Label2->text(), QStringLiteral("(1) "));
}

TEST_F(MainWindowTest, ProfileChoiceGoesToSelectedRowsAndNewRows) {
    fs::create_directories(state.paths.profileDir);
    file("Profile/Voice.wpf", "[Audio]\n");
    file("Profile/Video.wpf", "[Audio]\n");
    TQorvbyOstrel& w = open();
    w.AddFiles({file("0.wav"), file("1.wav")});
    const std::string before = w.jobs()[0].Profile;
    select({1});
    w.proList->setFocus();
    QTest::keyClick(w.proList, w.proList->currentIndex() == 0 ? Qt::Key_Down : Qt::Key_Up);
    const std::string chosen = w.proList->currentText().toStdString();
    ASSERT_NE(chosen, before);
    EXPECT_EQ(column(JobField::Profile), (Strings{before, chosen}));
    w.AddJob(file("2.wav"));
    EXPECT_EQ(w.jobs()[2].Profile, chosen);
}

TEST_F(MainWindowTest, ProfileListFromTheProfileDirectory) {
    fs::create_directories(dir / "Profile/Sub.wpf");
    file("Profile/B.wpf", "");
    file("Profile/a.WPF", "");
    file("Profile/.hidden.wpf", "");
    file("Profile/notes.txt", "");
    state.settings.prof = "b";
    TQorvbyOstrel& w = open();
    Strings names;
    for (int i = 0; i < w.proList->count(); ++i) names.push_back(w.proList->itemText(i).toStdString());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (Strings{"B", "a"}));
    EXPECT_EQ(w.proList->currentText(), QStringLiteral("B"));
}

TEST_F(MainWindowTest, MissingProfileDirectoryIsCreatedAndOffersTemporary) {
    state.settings.prof = "tempORARY";
    TQorvbyOstrel& w = open();
    EXPECT_TRUE(fs::is_directory(state.paths.profileDir));
    ASSERT_EQ(w.proList->count(), 1);
    EXPECT_EQ(w.proList->currentText(), QStringLiteral("Temporary"));
}

TEST_F(MainWindowTest, SavedBoundsArePulledIntoTheWorkArea) {
    state.settings.left = -50;
    state.settings.top = 5000;
    state.settings.columnWidths = {11, 12, 13, 14, 15, 16, 17};
    TQorvbyOstrel& w = open();
    EXPECT_EQ(w.pos(), QPoint(0, 738 - 400));
    EXPECT_EQ(w.size(), QSize(600, 400));
    EXPECT_EQ(w.ListView1->columnWidth(5), 16);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Qorvane Ver2.03"));
}

TEST_F(MainWindowTest, OutputFolderButtonStartsAtTheRowsFolder) {
    TQorvbyOstrel& w = open();
    w.UpDnButton1->click();  // nothing selected: no picker
    EXPECT_TRUE(pickers.folderStarts.empty());
    w.AddFiles({file("0.wav"), file("1.wav"), file("2.wav")});
    select({0, 2});
    pickers.folderAnswer = QStringLiteral("/chosen");
    w.UpDnButton1->click();
    EXPECT_EQ(pickers.folderStarts.back().toStdString(), dir.path().string() + "/");
    EXPECT_EQ(w.edDir->text(), QStringLiteral("/chosen"));
    EXPECT_EQ(column(JobField::OutDir), (Strings{"/chosen", "", "/chosen"}));
    pickers.folderAnswer.reset();  // cancelled: nothing changes
    w.UpDnButton1->click();
    EXPECT_EQ(pickers.folderStarts.back(), QStringLiteral("/chosen"));
    EXPECT_EQ(column(JobField::OutDir), (Strings{"/chosen", "", "/chosen"}));
}

TEST_F(MainWindowTest, ClosingSavesTheSettings) {
    state.settings.dir = "/out";
    TQorvbyOstrel& w = open();
    w.ListView1->setColumnWidth(0, 150);
    w.tbClose->click();
    const AppSettings saved = LoadSettings(state.paths.settingsFile, kArea);
    EXPECT_EQ(saved.columnWidths[0], 150);
    EXPECT_EQ(saved.prof, "Temporary");
    EXPECT_EQ(saved.width, w.width());
    EXPECT_EQ(saved.dir, "");  // /out does not exist, so it does not come back
    EXPECT_NE(ReadFileBytes(state.paths.settingsFile).find("dir=/out"), std::string::npos);
}

TEST_F(MainWindowTest, ClosingMaximisedKeepsTheStoredBounds) {
    file("qorvane.ini", "[env]\nleft=7\n[Column]\nFile=77\n");
    TQorvbyOstrel& w = open();
    w.showMaximized();
    w.ListView1->setColumnWidth(0, 150);
    w.close();
    const AppSettings saved = LoadSettings(state.paths.settingsFile, kArea);
    EXPECT_EQ(saved.left, 7);
    EXPECT_EQ(saved.columnWidths[0], 77);
    EXPECT_EQ(saved.prof, "Temporary");
}

TEST_F(MainWindowTest, BoundsAreThoseOfTheOuterFrame) {
    state.settings.left = 900;  // pulled in until the frame's right edge is the work area's
    state.settings.top = 100;
    TQorvbyOstrel& w = open();
    w.show();
    ASSERT_NE(w.frameGeometry().size(), w.size());  // the window has a frame
    EXPECT_EQ(w.frameGeometry(), QRect(1024 - 600, 100, 600, 400));
    w.close();
    const AppSettings saved = LoadSettings(state.paths.settingsFile, kArea);
    EXPECT_EQ(QRect(saved.left, saved.top, saved.width, saved.height), w.frameGeometry());
}

TEST_F(MainWindowTest, TabAndBacktabWalkTheFieldsAndTheToolbar) {
    TQorvbyOstrel& w = open();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    const std::vector<QWidget*> order{w.ListView1, w.EdAuthor, w.edAlbum, w.edYear,  w.edCopy,
                                      w.edTitle,   w.edDir,    w.UpDnButton1, w.tbClose, w.tbConv,
                                      w.proList,   w.tbChg,    w.tbAdd,   w.tbDel,   w.tbEnv};
    w.ListView1->setFocus();
    for (std::size_t i = 1; i <= order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), order[i % order.size()]) << "Tab " << i;
    }
    for (std::size_t i = order.size(); i-- > 0;) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        ASSERT_EQ(QApplication::focusWidget(), order[i]) << "Backtab to " << i;
    }
    EXPECT_EQ(w.edYear->maxLength(), 4);
    EXPECT_EQ(w.edDir->maxLength(), 250);
}

TEST(ProgressDialog, FormAtStartUp) {
    TProDlg d;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("エンコード中・・・"));
    EXPECT_EQ(d.width(), 313);
    // What the dialog shows beyond its first 65 rows lies below them.
    for (QWidget* added : std::initializer_list<QWidget*>{d.pbRun, d.lbTime, d.lbPlace, d.btnOutput}) {
        EXPECT_GE(added->y(), 65);
        EXPECT_TRUE(d.rect().contains(added->geometry()));
    }
    EXPECT_TRUE(d.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(d.OKBtn->text(), QStringLiteral("中断"));
    EXPECT_EQ(d.OKBtn->geometry(), QRect(119, 32, 75, 25));
    EXPECT_EQ(d.Label1->pos(), QPoint(52, 12));
    EXPECT_EQ(d.Button1->width(), 0);
    d.show();
    EXPECT_EQ(d.focusWidget(), d.Button1);  // Enter and Space do not abort
    d.setCountText(QStringLiteral("(10001) "));
    EXPECT_EQ(d.Label2->geometry().right() + 1, 45);
}

TEST_F(MainWindowTest, TenThousandRowsGoThroughTheModel) {
    TQorvbyOstrel& w = open();
    const std::string path = file("a.wav");
    for (int i = 0; i < 10000; ++i) w.AddJob(path);
    EXPECT_EQ(w.ListView1->model()->rowCount(), 10000);
    w.ListView1->selectAll();
    w.tbDel->click();
    EXPECT_EQ(w.ListView1->model()->rowCount(), 0);
}

}  // namespace
}  // namespace qorvane::testing
