#pragma once
// The narrow drop button that sits at the right edge of an edit field and
// opens a picker for it (the owning form connects clicked()). It shows a
// small arrow glyph instead of a caption: a solid triangle in the classic
// look, an open chevron with visual styles; grey when disabled.

#include <QImage>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>


namespace qorvane {

class TUpDnButton : public QPushButton {
    Q_OBJECT
public:
    static constexpr int kGlyphWidth = 9;
    static constexpr int kGlyphHeight = 6;

    explicit TUpDnButton(QWidget* parent = nullptr);

    // An upward arrow instead of a downward one, drawn one pixel higher.
    bool UpMode() const { return upMode_; }
    void setUpMode(bool up);

    // Attaching to an edit places the button over the edit's right border
    // (left = edit left + edit width - 1, top = edit top; the height stays).
    // When the button is first shown with visual styles active, the edit
    // gives 4 pixels of its width to the button. nullptr only drops the link.
    QLineEdit* Associate() const { return associate_; }
    void setAssociate(QLineEdit* edit);

    // The glyph drawn now: 4 with visual styles, else 0; + 2 up; + 1 disabled.
    int glyphIndex() const;
    // Where it is drawn: centred, one pixel higher in UpMode.
    QPoint glyphPosition() const;

    // The eight glyphs, 9 x 6 each, side by side on white (the transparent
    // colour): solid down, solid up, open down, open up; each enabled
    // (black) then disabled (grey 128).
    static const QImage& GlyphStrip();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QPointer<QLineEdit> associate_;
    bool upMode_ = false;
    bool created_ = false;
};

}  // namespace qorvane
