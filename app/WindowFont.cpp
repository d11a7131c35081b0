#include "app/WindowFont.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>

namespace WindowFont {

namespace {

const QString Name = QStringLiteral("MS Sans Serif");
const QString DrawnWith = QStringLiteral("Liberation Sans");

void registerShippedFonts() {
    const QDir folder(QCoreApplication::applicationDirPath() + QStringLiteral("/fonts"));
    for (const QString& file : folder.entryList({QStringLiteral("*.ttf")}, QDir::Files))
        QFontDatabase::addApplicationFont(folder.filePath(file));
}

} // namespace

void install() {
    registerShippedFonts();
    QFont::insertSubstitution(Name, DrawnWith);
    QFont dialogs = QApplication::font();
    if (QFontInfo(dialogs).family() != dialogs.family()) {
        dialogs.setFamily(DrawnWith);
        QApplication::setFont(dialogs);
    }
}

QFont at(int pixelSize, bool bold) {
    QFont font(Name);
    // Substitutes are looked at only where no font has the name, and Windows has one.
    font.setFamilies(QFont::substitutes(Name) << Name);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

} // namespace WindowFont
