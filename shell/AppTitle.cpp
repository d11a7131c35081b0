#include "shell/AppTitle.h"

namespace {
QString current = AppTitle::fromProgramPath(QStringLiteral("UdpRavik"));
}

namespace AppTitle {

QString fromProgramPath(const QString& path) {
    QString name = path.section(u'/', -1).section(u'\\', -1);
    name = name.section(u'.', 0, 0);
    if (name.isEmpty()) return name;
    return name.left(1) + name.mid(1).toLower();
}

void set(const QString& title) {
    current = title;
}

const QString& get() {
    return current;
}

} // namespace AppTitle
