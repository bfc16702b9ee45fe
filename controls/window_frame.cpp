#include "controls/window_frame.h"

#include <QEvent>
#include <QWidget>
#include <utility>

namespace qorvane {

namespace {

constexpr const char* kKeeperName = "qorvane_frame_keeper";

// Applies a placement at once, and again whenever the window's frame
// margins are found changed, until the window has been shown with a frame
// that is known; hiding the window or giving it a state (maximised,
// minimised, full screen) ends the keeping too. A window manager frames a
// window only after it is mapped, so its margins usually arrive with a move
// after the showing.
class FrameKeeper final : public QObject {
public:
    FrameKeeper(QWidget& window, std::function<void(const FrameMargins&)> apply)
        : QObject(&window), window_(window), apply_(std::move(apply)) {
        setObjectName(QString::fromLatin1(kKeeperName));
        window_.installEventFilter(this);
        applyWith(FrameMarginsOf(window_));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &window_) return false;
        switch (event->type()) {
            case QEvent::Show:
            case QEvent::Move:
            case QEvent::Resize: break;
            case QEvent::Hide: finish(); return false;
            default: return false;
        }
        if (!window_.isVisible()) return false;
        if (window_.windowState() != Qt::WindowNoState) {
            finish();
            return false;
        }
        const FrameMargins margins = FrameMarginsOf(window_);
        if (margins != applied_) applyWith(margins);
        if (margins != FrameMargins{}) finish();
        return false;
    }

private:
    void applyWith(const FrameMargins& margins) {
        applied_ = margins;  // first: the moves below come back here
        apply_(margins);
    }

    void finish() {
        window_.removeEventFilter(this);
        deleteLater();
    }

    QWidget& window_;
    std::function<void(const FrameMargins&)> apply_;
    FrameMargins applied_;
};

void Keep(QWidget& window, std::function<void(const FrameMargins&)> apply) {
    // A new placement replaces the one still being kept.
    for (QObject* old : window.findChildren<QObject*>(QString::fromLatin1(kKeeperName), Qt::FindDirectChildrenOnly)) {
        window.removeEventFilter(old);
        delete old;
    }
    new FrameKeeper(window, std::move(apply));
}

}  // namespace

WindowBounds FrameBounds(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    return {frame.x(), frame.y(), frame.width(), frame.height()};
}

FrameMargins FrameMarginsOf(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
            frame.bottom() - client.bottom()};
}

void SetFrameBounds(QWidget& window, const WindowBounds& frame) {
    Keep(window, [&window, frame](const FrameMargins& margins) {
        const WindowBounds client = ClientOfFrame(frame, margins);
        window.move(frame.left, frame.top);
        window.resize(client.width, client.height);
    });
}

void PlaceFrame(QWidget& window, std::function<WindowBounds(int width, int height)> place) {
    Keep(window, [&window, place = std::move(place)](const FrameMargins& margins) {
        const WindowBounds frame = FrameOfClient({0, 0, window.width(), window.height()}, margins);
        const WindowBounds placed = place(frame.width, frame.height);
        window.move(placed.left, placed.top);
    });
}

}  // namespace qorvane
