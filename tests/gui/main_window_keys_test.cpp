// The main window from the keyboard: shortcuts for the toolbar's commands,
// the toolbar reachable by keys, and names for screen readers.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include "app/ui/environment_dialog.h"
#include "gui/gui_fixture.h"
#include "gui/modal_answer.h"
#include "profiles/ui/enc_set_dlg.h"

namespace qorvane::testing {
namespace {

using Strings = std::vector<std::string>;

class MainWindowKeysTest : public MainWindowTest {
protected:
    TQorvbyOstrel& openActive() {
        TQorvbyOstrel& w = open();
        w.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        return w;
    }
    static void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
    }
};

TEST_F(MainWindowKeysTest, DeleteInTheListRemovesTheSelectedRowsAndInAFieldDeletesText) {
    TQorvbyOstrel& w = openActive();
    w.AddFiles({file("0.wav"), file("1.wav"), file("2.wav"), file("3.wav")});
    select({0, 2});
    w.ListView1->setFocus();
    press(Qt::Key_Delete);
    EXPECT_EQ(column(JobField::File), (Strings{"1.wav", "3.wav"}));

    select({0, 1});
    w.edAlbum->setFocus();
    QTest::keyClicks(w.edAlbum, "ab");
    press(Qt::Key_Home);
    press(Qt::Key_Delete);
    EXPECT_EQ(w.edAlbum->text(), QStringLiteral("b"));
    EXPECT_EQ(column(JobField::Album), (Strings{"b", "b"}));
}

TEST_F(MainWindowKeysTest, ControlKeysPressTheirToolbarButtons) {
    TQorvbyOstrel& w = openActive();
    int converts = 0;
    QObject::connect(w.tbConv, &QToolButton::clicked, [&converts] { ++converts; });
    w.edTitle->setFocus();
    press(Qt::Key_Return, Qt::ControlModifier);
    w.ListView1->setFocus();
    press(Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EQ(converts, 2);

    bool edited = false;
    AnswerNextModal<TEncSetDlg>(window.get(), [](TEncSetDlg& editor) { editor.CancelBtn->click(); }, &edited);
    press(Qt::Key_E, Qt::ControlModifier);
    EXPECT_TRUE(edited);
    EXPECT_EQ(state.currentProfilePath, dir / "Profile/Temporary.wpf");
    w.activateWindow();  // back from the dialog
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.ListView1->setFocus();

    bool settings = false;
    AnswerNextModal<TEnvDlg>(window.get(), [](TEnvDlg& dialog) { dialog.CancelBtn->click(); }, &settings);
    press(Qt::Key_Comma, Qt::ControlModifier);
    EXPECT_TRUE(settings);
}

TEST_F(MainWindowKeysTest, ControlQClosesWithTheQuestionOfTheCloseButton) {
    TQorvbyOstrel& w = openActive();
    converting = true;
    press(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(messages.questions, (Strings{"qorv: 変換中です。中断して終了しますか?"}));
    EXPECT_TRUE(w.isVisible());
    messages.answerYes = true;
    press(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(w.isVisible());
}

TEST_F(MainWindowKeysTest, F10ReachesTheToolbarWhoseButtonsNameTheirKeys) {
    TQorvbyOstrel& w = openActive();
    w.edTitle->setFocus();
    press(Qt::Key_F10);
    EXPECT_EQ(QApplication::focusWidget(), w.tbClose);
    press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), w.tbConv);
    int converts = 0;
    QObject::connect(w.tbConv, &QToolButton::clicked, [&converts] { ++converts; });
    press(Qt::Key_Space);
    EXPECT_EQ(converts, 1);
    EXPECT_EQ(w.tbConv->toolTip(), QStringLiteral("変換 (Ctrl+Return)"));
    EXPECT_EQ(w.tbDel->toolTip(), QStringLiteral("削除 (Del)"));
}

TEST_F(MainWindowKeysTest, EveryControlHasAnAccessibleName) {
    TQorvbyOstrel& w = openActive();
    int controls = 0;
    for (QWidget* child : w.findChildren<QWidget*>()) {
        if (!child->isVisible() || !(child->focusPolicy() & Qt::TabFocus)) continue;
        ++controls;
        EXPECT_FALSE(child->accessibleName().isEmpty()) << child->metaObject()->className();
    }
    EXPECT_EQ(controls, 15);
    EXPECT_EQ(w.EdAuthor->accessibleName(), QStringLiteral("アーティスト"));
}

}  // namespace
}  // namespace qorvane::testing
