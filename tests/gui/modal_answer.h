#pragma once
// Answering the modal dialogs a window opens while a test drives it: the
// answer runs once the dialog's own event loop has started.

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace qorvane::testing {

// Runs `answer` with the modal dialog of type T that is open next; a test
// that expects one checks `answered` afterwards. The answer is dropped when
// `context` (the window the test drives) goes first, so that one left
// unused never reaches into a later test.
template <typename T>
void AnswerNextModal(QObject* context, std::function<void(T&)> answer, bool* answered = nullptr) {
    QTimer::singleShot(0, context, [answer = std::move(answer), answered] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        if (answered != nullptr) *answered = true;
        answer(*dialog);
    });
}

}  // namespace qorvane::testing
