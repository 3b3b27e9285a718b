#include "app/appfonts.h"
#include <QFont>
#include <QLabel>
#include <QWidget>

namespace app {

const QStringList& roundedFontFamilies() {
    static const QStringList families = {QStringLiteral("Arial Rounded MT Bold"),
                                         QStringLiteral("Arial Rounded MT"),
                                         QStringLiteral("Varela Round"),
                                         QStringLiteral("Nunito"),
                                         QStringLiteral("M PLUS Rounded 1c"),
                                         QStringLiteral("Comfortaa"),
                                         QStringLiteral("URW Gothic"),
                                         QStringLiteral("DejaVu Sans"),
                                         QStringLiteral("Sans Serif")};
    return families;
}

void useRoundedFont(QWidget* widget, int pixelHeight) {
    QFont font = widget->font();
    font.setFamilies(roundedFontFamilies());
    font.setPixelSize(pixelHeight);
    widget->setFont(font);
    if (qobject_cast<QLabel*>(widget)) {
        const QPoint corner = widget->pos();
        widget->adjustSize();
        widget->move(corner);
    }
}

} // namespace app
