#include "controls/xp_group_box.h"

#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QStyle>
#include <QStyleOptionFrame>

#include "controls/visual_styles.h"

namespace qorvane {

namespace {

constexpr int kCaptionLeft = 8;
constexpr int kCaptionMargin = 8;

// Some styles (Fusion) start the group box frame below the place they keep
// for a title of their own. Where the style's frame really begins is found
// by drawing it once off screen, so that it can be drawn from the top of
// the frame rectangle all the same.
int FrameTopInset(const QStyle* style, const QStyleOptionFrame& frame, const QWidget* widget) {
    QImage probe(frame.rect.size(), QImage::Format_ARGB32_Premultiplied);
    if (probe.isNull()) return 0;
    probe.fill(Qt::transparent);
    {
        QPainter painter(&probe);
        QStyleOptionFrame at = frame;
        at.rect = QRect(QPoint(0, 0), frame.rect.size());
        style->drawPrimitive(QStyle::PE_FrameGroupBox, &at, &painter, widget);
    }
    for (int y = 0; y < probe.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(probe.constScanLine(y));
        for (int x = 0; x < probe.width(); ++x) {
            if (qAlpha(line[x]) != 0) return y;
        }
    }
    return 0;
}

}  // namespace

TXpGroupBox::TXpGroupBox(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {}

bool TXpGroupBox::themed() const { return VisualStylesActive(style()) && !isFlat(); }

// The height of a line of the caption's font, as a measured "0" gives it.
int TXpGroupBox::captionHeight() const { return fontMetrics().size(Qt::TextSingleLine, QStringLiteral("0")).height(); }

QRect TXpGroupBox::frameRect() const {
    return QRect(QPoint(0, captionHeight() / 2 - 1), QPoint(width() - 1, height() - 1));
}

QRect TXpGroupBox::captionRect() const {
    const QString caption = title();
    const int margin = caption.isEmpty() ? 0 : kCaptionMargin;
    const int width = caption.isEmpty() ? 0 : fontMetrics().horizontalAdvance(caption) + margin;
    // Right to left, the caption belongs at the right end of the frame.
    const int left = layoutDirection() == Qt::RightToLeft ? this->width() - kCaptionLeft - width : kCaptionLeft;
    return QRect(left, 0, width, captionHeight());
}

void TXpGroupBox::paintEvent(QPaintEvent* event) {
    if (!themed()) {
        QGroupBox::paintEvent(event);
        return;
    }
    QPainter painter(this);
    const QWidget* parent = parentWidget();
    painter.fillRect(rect(), (parent != nullptr ? parent->palette() : palette()).window());

    const QRect caption = captionRect();
    painter.save();
    painter.setClipRegion(QRegion(rect()).subtracted(QRegion(caption)));
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.rect = frameRect();
    frame.lineWidth = 1;
    frame.midLineWidth = 0;
    frame.state = isEnabled() ? (frame.state | QStyle::State_Enabled) : (frame.state & ~QStyle::State_Enabled);
    frame.rect.setTop(frame.rect.top() - FrameTopInset(style(), frame, this));
    style()->drawPrimitive(QStyle::PE_FrameGroupBox, &frame, &painter, this);
    painter.restore();

    const int flags = Qt::AlignCenter | Qt::TextSingleLine;
    style()->drawItemText(&painter, caption, flags, palette(), isEnabled(), title(), QPalette::WindowText);
}

void TXpGroupBox::changeEvent(QEvent* event) {
    QGroupBox::changeEvent(event);
    switch (event->type()) {
        case QEvent::StyleChange:
        case QEvent::PaletteChange:
        case QEvent::FontChange:
        case QEvent::EnabledChange:
        case QEvent::LayoutDirectionChange:
            update();  // a new theme or state is drawn at once
            break;
        default:
            break;
    }
}

}  // namespace qorvane
