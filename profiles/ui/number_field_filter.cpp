#include "profiles/ui/number_field_filter.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <optional>

#include "controls/typed_key.h"

namespace qorvane {

namespace {

class NumberFieldFilter : public QObject {
public:
    NumberFieldFilter(EditorKeyFilter filter, QObject* parent) : QObject(parent), filter_(filter) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
        const std::optional<char32_t> typed = TypedCharacter(*static_cast<const QKeyEvent*>(event));
        return typed && !IsKeyAccepted(filter_, *typed);  // true: discarded
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
