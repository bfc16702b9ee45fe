#pragma once
// A group box that draws its frame and caption through the widget style when
// visual styles are active: the frame runs through the middle of the
// caption's line, the caption sits in a gap of the frame 8 pixels from the
// left, and the whole box is filled with the parent's background first. Any
// other case is drawn the classic group box way.

#include <QGroupBox>

namespace qorvane {

class TXpGroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit TXpGroupBox(const QString& caption, QWidget* parent = nullptr);

    // True when the box draws itself rather than the classic way: visual
    // styles active and the 3-D look on (a flat box is always classic).
    bool themed() const;

    // The geometry of the themed drawing: the frame rectangle and the box
    // the caption is written into (empty width for an empty caption).
    QRect frameRect() const;
    QRect captionRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int captionHeight() const;
};

}  // namespace qorvane
