#include "app/ui/qt_desktop.h"

#include <QGuiApplication>
#include <QScreen>

namespace qorvane {

WorkArea QtDesktop::workArea() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return {};
    QRect area = screen->availableGeometry();
    if (area.isEmpty()) area = screen->geometry();
    return {area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
}

}  // namespace qorvane
