#pragma once

#include <QFont>

// The window's font, "MS Sans Serif", drawn with Liberation Sans, which has its widths: a
// system's own font of that name (a bitmap font on Windows) clips the captions the window's
// fixed layout was made for.
namespace WindowFont {

// Registers the fonts shipped in the fonts folder beside the program (the Windows installer
// puts Liberation Sans there) and maps the name onto Liberation Sans. Where the system's
// dialog font is missing (Wine without its fonts), the dialogs take Liberation Sans too.
void install();

QFont at(int pixelSize, bool bold = false);

} // namespace WindowFont
