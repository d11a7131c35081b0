#include "app/Varden.h"

// placeholder: replaced by the register editor work
void TVarden::Grid1KeyPress(QChar) {}
void TVarden::Grid1MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void TVarden::Update_ButtonClick() {}
void TVarden::FormClick() {}
