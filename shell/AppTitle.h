#pragma once

#include <QString>

// The application's title: the program file's name without its folder, cut at its first
// full stop, every letter after the first in lower case ("UdpRavik" gives "Udpravik").
namespace AppTitle {

QString fromProgramPath(const QString& path);

void set(const QString& title);
const QString& get();

} // namespace AppTitle
