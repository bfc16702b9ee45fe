#include "controls/updn_button.h"

#include <QEvent>
#include <QLineEdit>
#include <QPainter>

#include "controls/visual_styles.h"

namespace qorvane {

namespace {

constexpr int kWidth = 15;
constexpr int kThemedWidening = 4;

// Downward shapes, one row a line; the upward ones are the same turned over.
constexpr const char* kSolidDown[TUpDnButton::kGlyphHeight] = {
    ".........",
    ".#######.",
    "..#####..",
    "...###...",
    "....#....",
    ".........",
};
constexpr const char* kOpenDown[TUpDnButton::kGlyphHeight] = {
    "#.......#",
    "##.....##",
    ".##...##.",
    "..##.##..",
    "...###...",
    "....#....",
};

QImage MakeGlyphStrip() {
    QImage strip(8 * TUpDnButton::kGlyphWidth, TUpDnButton::kGlyphHeight, QImage::Format_RGB32);
    strip.fill(Qt::white);
    const QRgb colours[2] = {qRgb(0, 0, 0), qRgb(128, 128, 128)};
    for (int index = 0; index < 8; ++index) {
        const auto& shape = index < 4 ? kSolidDown : kOpenDown;
        const bool up = (index / 2) % 2 == 1;
        const QRgb colour = colours[index % 2];
        for (int y = 0; y < TUpDnButton::kGlyphHeight; ++y) {
            const char* row = shape[up ? TUpDnButton::kGlyphHeight - 1 - y : y];
            for (int x = 0; x < TUpDnButton::kGlyphWidth; ++x) {
                if (row[x] == '#') strip.setPixel(index * TUpDnButton::kGlyphWidth + x, y, colour);
            }
        }
    }
    return strip;
}

// The strip with its white made transparent, drawn over the button face.
const QImage& MaskedGlyphs() {
    static const QImage masked = [] {
        QImage image = TUpDnButton::GlyphStrip().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) == qRgb(255, 255, 255)) image.setPixel(x, y, qRgba(0, 0, 0, 0));
            }
        }
        return image;
    }();
    return masked;
}

}  // namespace

TUpDnButton::TUpDnButton(QWidget* parent) : QPushButton(parent) {
    setGeometry(0, 0, 20, 13);
    setFixedWidth(kWidth);  // fixed, so that a layout keeps it narrow too
    setAutoDefault(false);
    setAccessibleName(QStringLiteral("v"));
}

void TUpDnButton::setUpMode(bool up) {
    if (upMode_ == up) return;
    upMode_ = up;
    update();
}

void TUpDnButton::setAssociate(QLineEdit* edit) {
    associate_ = edit;
    if (edit == nullptr) return;
    move(edit->x() + edit->width() - 1, edit->y());
}

int TUpDnButton::glyphIndex() const {
    return (VisualStylesActive(style()) ? 4 : 0) + (upMode_ ? 2 : 0) + (isEnabled() ? 0 : 1);
}

QPoint TUpDnButton::glyphPosition() const {
    return QPoint((width() - kGlyphWidth) / 2, (height() - kGlyphHeight) / 2 - (upMode_ ? 1 : 0));
}

const QImage& TUpDnButton::GlyphStrip() {
    static const QImage strip = MakeGlyphStrip();
    return strip;
}

void TUpDnButton::paintEvent(QPaintEvent* event) {
    QPushButton::paintEvent(event);
    QPainter painter(this);
    painter.drawImage(glyphPosition(), MaskedGlyphs(), QRect(glyphIndex() * kGlyphWidth, 0, kGlyphWidth, kGlyphHeight));
}

void TUpDnButton::showEvent(QShowEvent* event) {
    // Once, when the button first appears (its window is made): with visual
    // styles the edit hands 4 pixels to the button, whose right edge stays.
    if (!created_) {
        created_ = true;
        if (associate_ && VisualStylesActive(style())) {
            associate_->resize(associate_->width() - kThemedWidening, associate_->height());
            const int right = x() + width();
            setFixedWidth(width() + kThemedWidening);
            move(right - width(), y());
        }
    }
    QPushButton::showEvent(event);
}

void TUpDnButton::changeEvent(QEvent* event) {
    QPushButton::changeEvent(event);
    // The new glyph shows at once, not at the next repaint.
    if (event->type() == QEvent::EnabledChange && isVisible()) repaint();
}

}  // namespace qorvane
