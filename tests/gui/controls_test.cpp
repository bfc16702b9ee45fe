#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QStyle>
#include <QStyleFactory>
#include <QWidget>
#include <memory>

#include "controls/sb_dialog.h"
#include "controls/updn_button.h"
#include "controls/visual_styles.h"
#include "controls/xp_group_box.h"
#include "gui/modal_answer.h"
#include "support/temp_dir.h"

namespace qorvane {
namespace {

using testing::AnswerNextModal;

// A form with one edit at the place the drop button rules are told with.
struct Form {
    explicit Form(QStyle* style) {
        widget.setStyle(style);
        widget.resize(400, 100);
        edit = new QLineEdit(&widget);
        edit->setGeometry(112, 10, 189, 21);
        button = new TUpDnButton(&widget);
        button->setStyle(style);
        button->setFixedHeight(21);
        button->setAssociate(edit);
    }
    QWidget widget;
    QLineEdit* edit;
    TUpDnButton* button;
};

QStyle* ClassicStyle() {
    static QStyle* style = QStyleFactory::create(QStringLiteral("Windows"));
    return style;
}

QStyle* ThemedStyle() {
    static QStyle* style = QStyleFactory::create(QStringLiteral("Fusion"));
    return style;
}

TEST(TUpDnButton, AttachesOverTheEditsRightBorderAndWidensOnceWithVisualStyles) {
    Form themed(ThemedStyle());
    EXPECT_EQ(themed.button->geometry(), QRect(300, 10, 15, 21));
    themed.widget.show();
    EXPECT_EQ(themed.edit->width(), 185);
    EXPECT_EQ(themed.button->geometry(), QRect(296, 10, 19, 21));
    themed.widget.hide();
    themed.widget.show();  // only the first showing changes the geometry
    EXPECT_EQ(themed.edit->width(), 185);
    EXPECT_EQ(themed.button->width(), 19);

    Form classic(ClassicStyle());
    classic.widget.show();
    EXPECT_EQ(classic.edit->width(), 189);
    EXPECT_EQ(classic.button->geometry(), QRect(300, 10, 15, 21));
    EXPECT_TRUE(classic.button->text().isEmpty());
}

TEST(TUpDnButton, GlyphFollowsStyleDirectionAndEnabledState) {
    Form classic(ClassicStyle());
    EXPECT_EQ(classic.button->glyphIndex(), 0);
    classic.button->setUpMode(true);
    EXPECT_EQ(classic.button->glyphIndex(), 2);
    classic.button->setEnabled(false);
    EXPECT_EQ(classic.button->glyphIndex(), 3);

    Form themed(ThemedStyle());
    EXPECT_EQ(themed.button->glyphIndex(), 4);
    themed.button->setEnabled(false);
    EXPECT_EQ(themed.button->glyphIndex(), 5);
    themed.button->setUpMode(true);
    EXPECT_EQ(themed.button->glyphIndex(), 7);
    // Centred; one pixel higher when pointing up (15 x 21: (3, 7), then (3, 6)).
    EXPECT_EQ(themed.button->glyphPosition(), QPoint(3, 6));
    themed.button->setUpMode(false);
    EXPECT_EQ(themed.button->glyphPosition(), QPoint(3, 7));
}

TEST(TUpDnButton, GlyphStripHoldsEightGlyphsBlackOrGreyOnWhite) {
    const QImage& strip = TUpDnButton::GlyphStrip();
    ASSERT_EQ(strip.size(), QSize(72, 6));
    const QRgb black = qRgb(0, 0, 0);
    const QRgb grey = qRgb(128, 128, 128);
    const QRgb white = qRgb(255, 255, 255);
    for (int index = 0; index < 8; ++index) {
        int inked = 0;
        for (int y = 0; y < 6; ++y) {
            for (int x = 0; x < 9; ++x) {
                const QRgb pixel = strip.pixel(index * 9 + x, y);
                if (pixel == white) continue;
                ++inked;
                EXPECT_EQ(pixel, index % 2 == 0 ? black : grey) << index;
            }
        }
        EXPECT_GT(inked, 8) << index;
    }
    // Solid down has its widest row on top, solid up at the bottom; the open
    // chevron leaves its middle empty.
    EXPECT_EQ(strip.pixel(4, 1), black);
    EXPECT_EQ(strip.pixel(1, 1), black);
    EXPECT_EQ(strip.pixel(18 + 1, 4), black);
    EXPECT_EQ(strip.pixel(18 + 1, 1), white);
    EXPECT_EQ(strip.pixel(36 + 4, 1), white);
    EXPECT_EQ(strip.pixel(36 + 0, 0), black);
}

TEST(TUpDnButton, ReEnabledButtonShowsTheBlackGlyphAgain) {
    Form classic(ClassicStyle());
    classic.widget.show();
    // The tip of the downward triangle, in button coordinates.
    const QPoint tip = classic.button->glyphPosition() + QPoint(4, 4);
    classic.button->setEnabled(false);
    EXPECT_EQ(classic.button->grab().toImage().pixel(tip), qRgb(128, 128, 128));
    classic.button->setEnabled(true);
    EXPECT_EQ(classic.button->grab().toImage().pixel(tip), qRgb(0, 0, 0));
}

TEST(TSBDialog, StartFolderKeepsTheRootsSeparatorOnly) {
    EXPECT_EQ(TSBDialog::StartFolder(QStringLiteral("/music/")), QStringLiteral("/music"));
    EXPECT_EQ(TSBDialog::StartFolder(QStringLiteral("/music")), QStringLiteral("/music"));
    EXPECT_EQ(TSBDialog::StartFolder(QStringLiteral("/")), QStringLiteral("/"));
    EXPECT_EQ(TSBDialog::StartFolder(QString()), QString());
}

TEST(TSBDialog, DefaultOptionsOfferFileSystemFoldersOnly) {
    QWidget owner;
    TSBDialog picker(&owner);
    EXPECT_EQ(picker.BrowserFlags(), 0x0001u);
    picker.Options |= biNewStyle;
    picker.Options |= biEditBox;
    EXPECT_EQ(picker.BrowserFlags(), 0x0051u);

    QFileDialog dialog;
    TSBDialog plain(&owner);
    plain.prepare(dialog);
    EXPECT_EQ(dialog.fileMode(), QFileDialog::Directory);
    EXPECT_TRUE(dialog.testOption(QFileDialog::ShowDirsOnly));
}

TEST(TSBDialog, ExecuteStartsAtDirectoryAndHandsBackTheChosenFolder) {
    testing::TempDir dir;
    std::filesystem::create_directories(dir / "music" / "live");
    const QString music = QString::fromStdString((dir / "music").string());
    QWidget owner;
    TSBDialog picker(&owner);

    picker.Directory = music + QLatin1Char('/');
    bool answered = false;
    AnswerNextModal<QFileDialog>(&owner,
        [&](QFileDialog& browser) {
            EXPECT_EQ(browser.directory().absolutePath(), music);
            browser.reject();
        },
        &answered);
    EXPECT_FALSE(picker.Execute());
    EXPECT_TRUE(answered);
    EXPECT_EQ(picker.Directory, music + QLatin1Char('/'));

    AnswerNextModal<QFileDialog>(&owner, [&](QFileDialog& browser) {
        browser.setDirectory(music + QStringLiteral("/live"));
        QMetaObject::invokeMethod(&browser, "accept");
    });
    EXPECT_TRUE(picker.Execute());
    EXPECT_EQ(picker.Directory, music + QStringLiteral("/live"));
}

TEST(TXpGroupBox, ThemedWithVisualStylesClassicOtherwise) {
    TXpGroupBox box(QStringLiteral("ビデオ"));
    box.setStyle(ThemedStyle());
    EXPECT_TRUE(box.themed());
    box.setFlat(true);
    EXPECT_FALSE(box.themed());
    box.setFlat(false);
    box.setStyle(ClassicStyle());
    EXPECT_FALSE(box.themed());
    EXPECT_TRUE(VisualStylesActive(ThemedStyle()));
    EXPECT_FALSE(VisualStylesActive(ClassicStyle()));
}

TEST(TXpGroupBox, CaptionSitsInAGapOfTheFrame) {
    QWidget parent;
    parent.resize(200, 120);
    auto* box = new TXpGroupBox(QStringLiteral("オーディオ"), &parent);
    box->setStyle(ThemedStyle());
    box->setGeometry(0, 0, 200, 100);
    const int h = box->fontMetrics().height();
    EXPECT_EQ(box->frameRect(), QRect(QPoint(0, h / 2 - 1), QPoint(199, 99)));
    const QRect caption = box->captionRect();
    EXPECT_EQ(caption.topLeft(), QPoint(8, 0));
    EXPECT_EQ(caption.width(), box->fontMetrics().horizontalAdvance(QStringLiteral("オーディオ")) + 8);

    // On the frame's top line: no line inside the caption's margin, a line
    // past the caption.
    parent.show();
    const QImage captioned = box->grab().toImage();
    const int top = box->frameRect().top();
    const QRgb background = captioned.pixel(2, 0);  // above the frame: the parent's colour
    EXPECT_EQ(captioned.pixel(9, top), background);
    EXPECT_NE(captioned.pixel(caption.right() + 20, top), background);

    box->setTitle(QString());
    EXPECT_EQ(box->captionRect().width(), 0);
    const QImage plain = box->grab().toImage();
    EXPECT_NE(plain.pixel(20, box->frameRect().top()), background);
}

TEST(TXpGroupBox, DisabledBoxIsDrawnDifferently) {
    QWidget parent;
    parent.resize(200, 120);
    auto* box = new TXpGroupBox(QStringLiteral("オーディオ"), &parent);
    box->setStyle(ThemedStyle());
    box->setGeometry(0, 0, 200, 100);
    parent.show();
    const QImage enabled = box->grab(box->captionRect()).toImage();
    box->setEnabled(false);
    const QImage disabled = box->grab(box->captionRect()).toImage();
    EXPECT_NE(enabled, disabled);
}

}  // namespace
}  // namespace qorvane
