#include "profiles/ui/number_field_filter.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace qorvane {

namespace {

class NumberFieldFilter : public QObject {
public:
    NumberFieldFilter(EditorKeyFilter filter, QObject* parent) : QObject(parent), filter_(filter) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
        const auto* key = static_cast<const QKeyEvent*>(event);
        const QString text = key->text();
        if (text.isEmpty() || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
            return false;
        }
        const char32_t typed = text.toUcs4().value(0);
        if (typed < 0x20 || typed == 0x7F) return false;  // editing and dialog keys
        return !IsKeyAccepted(filter_, typed);             // true: discarded
    }

private:
    EditorKeyFilter filter_;
};

QString AcceptedPattern(EditorKeyFilter filter) {
    switch (filter) {
        case EditorKeyFilter::Digits: return QStringLiteral("[0-9]*");
        case EditorKeyFilter::BitRates: return QStringLiteral("[0-9,]*");
        case EditorKeyFilter::FrameRate: return QStringLiteral("[0-9.]*");
    }
    return {};
}

}  // namespace

void InstallNumberFilter(QLineEdit* edit, EditorKeyFilter filter) {
    edit->installEventFilter(new NumberFieldFilter(filter, edit));
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(AcceptedPattern(filter)), edit));
    edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    edit->setInputMethodHints(filter == EditorKeyFilter::Digits ? Qt::ImhDigitsOnly : Qt::ImhFormattedNumbersOnly);
}

}  // namespace qorvane
