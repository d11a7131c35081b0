#include "app/AppIcon.h"

namespace AppIcon {

// The picture lives in app/resources/, compiled into the program; the Windows icon and the
// desktop entry use the same file.
QIcon make() { return QIcon(QStringLiteral(":/udpravik.png")); }

} // namespace AppIcon
