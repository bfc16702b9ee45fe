// The list's length, format and size columns, the totals under the list,
// and the header's menu of columns with their settings keys.
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTreeView>
#include <atomic>
#include <map>

#include "app/ui/job_list_facts.h"
#include "base/ini_file.h"
#include "gui/gui_fixture.h"
#include "profiles/profile_settings.h"

namespace qorvane::testing {
namespace {

// Facts by file name; read on the filler's threads.
class FakeFactsReader final : public MediaFactsReader {
public:
    std::map<std::string, MediaFacts> facts;
    mutable std::atomic<int> reads{0};
    std::optional<MediaFacts> read(const std::filesystem::path& source) const override {
        ++reads;
        const auto found = facts.find(source.filename().string());
        if (found == facts.end()) return std::nullopt;
        return found->second;
    }
};

class JobListFactsTest : public MainWindowTest {
protected:
    JobListFactsTest() {
        MediaFacts song;
        song.duration = 60;
        song.audio = AudioFacts{"MP3", 44100, 2, 192};
        reader.facts["song.mp3"] = song;
        MediaFacts clip;
        clip.kind = MediaKind::Video;
        clip.duration = 3725;
        clip.video = VideoFacts{"MPEG-4", 320, 240, 25};
        reader.facts["clip.avi"] = clip;
        factsReader = &reader;
        std::filesystem::create_directories(state.paths.profileDir);
        ProfileSettings cbr;
        cbr.AudioSetting = 17;  // 128 kbps
        WriteProfile(state.paths.profileDir / "CBR.wpf", cbr);
        ProfileSettings quality;
        quality.AudioMode = 3;  // quality-based: no size
        WriteProfile(state.paths.profileDir / "Quality.wpf", quality);
    }

    QString cell(int row, int column) const {
        const QAbstractItemModel* model = window->ListView1->model();
        return model->data(model->index(row, column), Qt::DisplayRole).toString();
    }
    QString totals() const { return window->listFacts().totalsLabel()->text(); }

    FakeFactsReader reader;
};

TEST_F(JobListFactsTest, RowsShowAtOnceAndTheirFactsAndSizesFillInAndFollowTheProfile) {
    open();
    window->proList->setCurrentText("CBR");
    window->AddFiles({file("song.mp3"), file("clip.avi"), file("odd.wav")});
    ASSERT_EQ(window->jobs().size(), 3u);  // before any facts are read
    EXPECT_EQ(window->ListView1->model()->columnCount(), 10);
    QTRY_COMPARE(cell(0, 7), QString("1:00"));
    EXPECT_EQ(cell(0, 8), "MP3 44.1kHz 2ch");
    EXPECT_EQ(cell(0, 9), "938 KB");  // 128 kbps for a minute
    QTRY_COMPARE(cell(1, 7), QString("1:02:05"));
    EXPECT_EQ(cell(1, 8), "MPEG-4 320x240 25fps");
    QTRY_COMPARE(cell(2, 9), QString("—"));  // no facts
    QTRY_VERIFY(totals().startsWith("3 件　推定サイズ 約 "));
    EXPECT_TRUE(totals().endsWith("　長さ 1:03:05（サイズ不明 1 件）")) << totals().toStdString();

    // Another profile for the song: its size is no longer known.
    select({0});
    window->proList->setCurrentText("Quality");
    emit window->proList->activated(window->proList->currentIndex());
    QTRY_COMPARE(cell(0, 9), QString("—"));
    QTRY_VERIFY(totals().endsWith("（サイズ不明 2 件）"));

    // Rows that go take their share of the totals with them; a file added
    // again is not read again.
    window->tbDelClick();
    QTRY_VERIFY(totals().startsWith("2 件"));
    const int reads = reader.reads;
    window->AddFiles({file("song.mp3")});
    QTRY_COMPARE(cell(2, 7), QString("1:00"));
    EXPECT_EQ(reader.reads, reads);
}

TEST_F(JobListFactsTest, TheHeaderMenuHidesAnyColumnButTheFirstAndTheSettingsKeepItBesideTheWidths) {
    open();
    QHeaderView* header = window->ListView1->header();
    EXPECT_EQ(header->contextMenuPolicy(), Qt::CustomContextMenu);
    emit header->customContextMenuRequested(QPoint(5, 5));
    QMenu* menu = header->findChild<QMenu*>();
    ASSERT_NE(menu, nullptr);
    QStringList items;
    for (QAction* action : menu->actions()) items << action->text();
    EXPECT_EQ(items, (QStringList{"プロファイル", "タイトル", "アーティスト", "アルバム", "年", "著作権", "長さ", "形式",
                                  "推定サイズ"}));
    header->resizeSection(8, 123);
    menu->actions()[7]->trigger();  // 形式
    menu->actions()[1]->trigger();  // タイトル
    menu->close();
    EXPECT_TRUE(header->isSectionHidden(8));
    EXPECT_TRUE(header->isSectionHidden(2));

    window->saveSettings();
    const IniFile ini = IniFile::Load(state.paths.settingsFile);
    EXPECT_EQ(ini.get("Column", "Hidden"), "Title,Format");
    EXPECT_EQ(ini.get("Column", "Format"), "123");  // the width it had
    EXPECT_EQ(ini.get("Column", "Title"), "100");   // the seven keys as they were
    EXPECT_EQ(ini.get("Column", "Length"), "60");

    // The next start shows what was shown, at the widths kept.
    state.settings = LoadSettings(state.paths.settingsFile, kArea);
    window.reset();
    open();
    header = window->ListView1->header();
    EXPECT_TRUE(header->isSectionHidden(8));
    EXPECT_FALSE(header->isSectionHidden(7));
    emit header->customContextMenuRequested(QPoint(5, 5));
    menu = header->findChild<QMenu*>();
    ASSERT_NE(menu, nullptr);
    menu->actions()[7]->trigger();
    menu->close();
    EXPECT_FALSE(header->isSectionHidden(8));
    EXPECT_EQ(header->sectionSize(8), 123);
}

}  // namespace
}  // namespace qorvane::testing
