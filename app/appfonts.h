#pragma once
// The rounded display font of the main window and the about box.
#include <QStringList>

class QWidget;

namespace app {

// "Arial Rounded MT Bold" first, then the closest rounded sans fonts a Linux desk may have.
const QStringList& roundedFontFamilies();

// Sets the rounded font at a character height in pixels and sizes the widget to its text,
// keeping its stored top-left corner (the stored captions are laid out by their corner).
void useRoundedFont(QWidget* widget, int pixelHeight);

} // namespace app
