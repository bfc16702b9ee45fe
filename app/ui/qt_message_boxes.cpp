#include "app/ui/qt_message_boxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <memory>

#include "controls/ui_font.h"

namespace qorvane {

namespace {

// A window that stays on top hides every box that is not its own, so while
// one is shown the boxes go to it.
QWidget* Owner() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = window->windowType();
        if (window->isVisible() && (type == Qt::Dialog || type == Qt::Window) &&
            window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) && qobject_cast<QMessageBox*>(window) == nullptr) {
            return window;
        }
    }
    return QApplication::activeModalWidget();
}

// The box wraps its text at spaces only, so a long path would stretch it
// past the screen: give the path places to break, after each separator and,
// in a long name, anywhere (a zero-width space shows nothing).
QString Breakable(const QString& text) {
    constexpr int kLongestUnbroken = 32;
    const QChar breakHere(0x200B);
    QString out;
    out.reserve(text.size() * 2);
    int unbroken = 0;
    for (const QChar c : text) {
        out += c;
        if (c.isSpace()) {
            unbroken = 0;
        } else if (c == u'/' || c == u'\\' || ++unbroken >= kLongestUnbroken) {
            out += breakHere;
            unbroken = 0;
        }
    }
    return out;
}

std::unique_ptr<QMessageBox> NewBox(const std::string& caption, const std::string& text,
                                    QMessageBox::StandardButtons buttons) {
    QWidget* owner = Owner();
    auto box = std::make_unique<QMessageBox>(QMessageBox::Warning, QString::fromStdString(caption),
                                             Breakable(QString::fromStdString(text)), buttons, owner);
    box->setFont(JapaneseUiFont());
    box->setWindowModality(Qt::ApplicationModal);
    // Above an owner that stays on top, whatever the window manager makes
    // of a box that belongs to one.
    if (owner != nullptr && owner->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
        box->setWindowFlag(Qt::WindowStaysOnTopHint);
    }
    return box;
}

}  // namespace

void QtMessageBoxes::warning(const std::string& caption, const std::string& text) {
    NewBox(caption, text, QMessageBox::Ok)->exec();
}

void QtMessageBoxes::warningWithDetails(const std::string& caption, const std::string& text,
                                        const std::string& detailsButton, const std::function<void()>& showDetails) {
    const auto box = NewBox(caption, text, QMessageBox::Ok);
    QAbstractButton* details = box->addButton(QString::fromStdString(detailsButton), QMessageBox::ActionRole);
    box->setDefaultButton(QMessageBox::Ok);
    box->exec();
    if (box->clickedButton() == details && showDetails) showDetails();
}

void QtMessageBoxes::notice(const std::string& caption, const std::string& text) {
    QMessageBox* box = NewBox(caption, text, QMessageBox::Ok).release();
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
    box->raise();
    box->activateWindow();
}

bool QtMessageBoxes::question(const std::string& caption, const std::string& text) {
    return NewBox(caption, text, QMessageBox::Yes | QMessageBox::No)->exec() == QMessageBox::Yes;
}

}  // namespace qorvane
