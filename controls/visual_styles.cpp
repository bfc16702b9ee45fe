#include "controls/visual_styles.h"

#include <QStyle>

namespace qorvane {

bool VisualStylesActive(const QStyle* style) {
    return style != nullptr && style->name().compare(QStringLiteral("windows"), Qt::CaseInsensitive) != 0;
}

}  // namespace qorvane
