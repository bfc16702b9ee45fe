#pragma once
// The session bus for the desktop services around a batch, reached when
// first needed.

#include <QDBusConnection>

namespace qorvane {

// The session bus, or a connection that is not connected when there is
// plainly none: no address in the environment and no socket at the usual
// place ($XDG_RUNTIME_DIR/bus). Not asking then spares libdbus's autolaunch,
// which would start a bus of its own for the X display (and a console
// session has no use for one).
QDBusConnection SessionBusIfAny();

}  // namespace qorvane
