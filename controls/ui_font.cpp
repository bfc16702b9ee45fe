#include "controls/ui_font.h"

#include <QStringList>

namespace qorvane {

QFont JapaneseUiFont() {
    static const bool substituted = [] {
        QStringList faces;
        faces << QStringLiteral("Noto Sans CJK JP") << QStringLiteral("Noto Sans JP");
        QFont::insertSubstitutions(QStringLiteral("MS UI Gothic"), faces);
        return true;
    }();
    (void)substituted;
    QFont font(QStringLiteral("MS UI Gothic"));
    font.setPixelSize(12);
    return font;
}

}  // namespace qorvane
