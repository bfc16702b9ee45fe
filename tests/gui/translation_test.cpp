// The windows' language: Japanese as written, or the built-in English
// translation, which also reaches the texts the core makes.
#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QMessageBox>
#include <QToolButton>
#include <QTreeView>

#include "app/ui/translation.h"
#include "encode/run_outcome.h"
#include "gui/gui_fixture.h"

namespace qorvane::testing {
namespace {

using Strings = std::vector<std::string>;

std::string Caption(const TQorvbyOstrel& w, int column) {
    return w.ListView1->model()->headerData(column, Qt::Horizontal).toString().toStdString();
}

TEST(ProgramLanguage, FirstOfJapaneseAndEnglishInTheUsersListDecides) {
    EXPECT_TRUE(PrefersJapanese({"ja-JP"}));
    EXPECT_TRUE(PrefersJapanese({"fr-FR", "ja"}));
    EXPECT_FALSE(PrefersJapanese({"en-GB", "ja-JP"}));
    EXPECT_FALSE(PrefersJapanese({"de-DE"}));
    EXPECT_FALSE(PrefersJapanese({"C"}));
    EXPECT_FALSE(PrefersJapanese({}));
}

// Qt's own words (standard buttons, file dialogs) follow the user: Japanese
// from Qt's translations, English as Qt writes them.
TEST(ProgramLanguage, StandardButtonsOfAMessageBoxSpeakTheUsersLanguage) {
    const auto buttons = [] {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("qorv"), QStringLiteral("?"),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::Ok);
        QStringList texts;
        for (const auto button : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel, QMessageBox::Ok}) {
            texts << box.button(button)->text();
        }
        return texts;
    };
    {
        const ProgramTranslation japanese({"ja-JP"});
        EXPECT_TRUE(japanese.japaneseQt());
        EXPECT_EQ(buttons(), (QStringList{"はい(&Y)", "いいえ(&N)", "キャンセル", "OK"}));
    }
    const ProgramTranslation english({"en-US"});
    EXPECT_FALSE(english.japaneseQt());
    EXPECT_EQ(buttons(), (QStringList{"&Yes", "&No", "Cancel", "OK"}));
}

TEST_F(MainWindowTest, EnglishTranslationReachesTheWindowAndTheMessages) {
    const ProgramTranslation english({"en-US", "en"});
    ASSERT_TRUE(english.english());
    TQorvbyOstrel& w = open();
    EXPECT_EQ(w.tbClose->text(), "C&lose");
    EXPECT_EQ(w.tbConv->text(), "&Convert");
    EXPECT_EQ(w.tbConv->toolTip(), "Convert (Ctrl+Return)");
    EXPECT_EQ(w.tbConv->accessibleName(), "Convert");
    EXPECT_EQ(w.tbEnv->text(), "&Settings");
    EXPECT_EQ(Caption(w, 0), "Name");
    converting = true;
    w.tbChgClick();
    const std::string gone = (dir / "gone.wav").string();
    w.AddFiles({gone});  // a text the core makes
    EXPECT_EQ(messages.shown,
              (Strings{"qorv: This cannot be changed while converting", "qorv: Cannot open file " + gone}));
    EXPECT_EQ(OutcomeText({RunResult::EncoderFailed, {ProcessEnd::Kind::Exited, 3}}),
              "The encoder failed (exit code 3)");
}

TEST_F(MainWindowTest, JapaneseUsersKeepTheTextsAsWritten) {
    const ProgramTranslation japanese({"ja-JP", "en-US"});
    EXPECT_FALSE(japanese.english());
    TQorvbyOstrel& w = open();
    EXPECT_EQ(w.tbConv->text(), "変換");
    EXPECT_EQ(Caption(w, 0), "名前");
    converting = true;
    w.tbChgClick();
    EXPECT_EQ(messages.shown, (Strings{"qorv: 変換中は変更できません"}));
    EXPECT_EQ(OutcomeText({RunResult::EncoderFailed, {ProcessEnd::Kind::Exited, 3}}),
              "エンコーダがエラーで終了しました (終了コード 3)");
}

}  // namespace
}  // namespace qorvane::testing
