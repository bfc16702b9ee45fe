#pragma once
// The work area as the window system reports it (the primary screen's
// available geometry).

#include "platform/desktop.h"

namespace qorvane {

class QtDesktop final : public Desktop {
public:
    WorkArea workArea() const override;
};

}  // namespace qorvane
