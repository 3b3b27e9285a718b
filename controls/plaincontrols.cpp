#include "controls/plaincontrols.h"
#include "controls/widgetfactory.h"
#include "data/formatsettings.h"
#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>
#include <qdrawutil.h>

namespace controls {

void registerPlainControls() {
    static bool done = false;
    if (done) return;
    done = true;
    registerWidgetClass(QStringLiteral("BitBtn"), [](QWidget* p) { return new BitBtn(p); });
    registerWidgetClass(QStringLiteral("Panel"), [](QWidget* p) { return new Panel(p); });
    registerWidgetClass(QStringLiteral("StaticText"), [](QWidget* p) { return new Label(p); });
    registerWidgetClass(QStringLiteral("QLabel"), [](QWidget* p) { return new Label(p); });
    registerWidgetClass(QStringLiteral("MonthCalendar"), [](QWidget* p) { return new MonthCalendar(p); });
    registerWidgetClass(QStringLiteral("DateTimePicker"), [](QWidget* p) { return new DateTimePicker(p); });
    registerWidgetClass(QStringLiteral("Image"), [](QWidget* p) { return new Image(p); });
}

// --- BitBtn ---

BitBtn::BitBtn(QWidget* parent) : QPushButton(parent) {}

void BitBtn::setKind(const QString& kind) {
    kind_ = kind;
    if (isCloseKind() && text().isEmpty()) setText(QStringLiteral("&Close"));
}

bool BitBtn::isCloseKind() const { return kind_.compare(QLatin1String("close"), Qt::CaseInsensitive) == 0; }

// --- Label ---

Label::Label(QWidget* parent) : QLabel(parent) {}

bool Label::drawsMnemonic() const {
    // QLabel hides the ampersand only when it has a buddy; plain text without one is drawn
    // here the same way.
    if (buddy() || !pixmap().isNull() || textFormat() == Qt::RichText) return false;
    if (textFormat() == Qt::AutoText && Qt::mightBeRichText(text())) return false;
    if (textInteractionFlags() &
        (Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard | Qt::TextEditable))
        return false;
    return text().contains(u'&');
}

void Label::paintEvent(QPaintEvent* e) {
    if (!drawsMnemonic()) {
        QLabel::paintEvent(e);
        return;
    }
    QPainter painter(this);
    drawFrame(&painter);
    QRect cr = contentsRect();
    const int m = margin();
    cr.adjust(m, m, -m, -m);
    const int align = int(QStyle::visualAlignment(layoutDirection(), alignment()));
    int ind = indent();
    if (ind < 0 && frameWidth()) ind = fontMetrics().horizontalAdvance(u'x') / 2 - m;
    if (ind > 0) {
        if (align & Qt::AlignLeft) cr.setLeft(cr.left() + ind);
        if (align & Qt::AlignRight) cr.setRight(cr.right() - ind);
        if (align & Qt::AlignTop) cr.setTop(cr.top() + ind);
        if (align & Qt::AlignBottom) cr.setBottom(cr.bottom() - ind);
    }
    int flags = align | Qt::TextShowMnemonic;
    if (wordWrap()) flags |= Qt::TextWordWrap;
    style()->drawItemText(&painter, cr, flags, palette(), isEnabled(), text(), foregroundRole());
}

// --- Panel ---

QColor colorFromName(const QString& name, const QPalette& palette) {
    QString n = name.trimmed();
    // Accept the designer's "clBtnFace" spelling as well as "buttonFace".
    if (n.size() > 2 && n.startsWith(QLatin1String("cl")) && n.at(2).isUpper()) n = n.mid(2);
    const QString key = n.toLower();
    if (key == QLatin1String("buttonface") || key == QLatin1String("btnface"))
        return palette.color(QPalette::Button);
    if (key == QLatin1String("buttonhighlight") || key == QLatin1String("btnhighlight"))
        return palette.color(QPalette::Light);
    if (key == QLatin1String("buttonshadow") || key == QLatin1String("btnshadow"))
        return palette.color(QPalette::Dark);
    if (key == QLatin1String("window")) return palette.color(QPalette::Base);
    if (key == QLatin1String("windowtext")) return palette.color(QPalette::Text);
    return QColor(key);
}

Panel::Panel(QWidget* parent) : QFrame(parent) { updateMargins(); }

void Panel::setBevelWidth(int w) {
    bevelWidth_ = qMax(0, w);
    updateMargins();
    update();
}

void Panel::setBevelOuter(const QString& b) {
    bevelOuter_ = b.toLower();
    updateMargins();
    update();
}

void Panel::setColor(const QString& c) {
    color_ = c;
    update();
}

void Panel::setCaption(const QString& c) {
    caption_ = c;
    update();
}

QColor Panel::fillColor() const {
    if (!color_.isEmpty()) {
        const QColor c = colorFromName(color_, palette());
        if (c.isValid()) return c;
    }
    return palette().color(QPalette::Window);
}

void Panel::updateMargins() {
    const int w = bevelOuter_ == QLatin1String("none") ? 0 : bevelWidth_;
    setContentsMargins(w, w, w, w);
}

void Panel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), fillColor());
    if (bevelOuter_ != QLatin1String("none") && bevelWidth_ > 0)
        qDrawShadePanel(&p, rect(), palette(), bevelOuter_ == QLatin1String("lowered"), bevelWidth_);
    if (!caption_.isEmpty())
        style()->drawItemText(&p, contentsRect(), Qt::AlignCenter | Qt::TextShowMnemonic, palette(),
                              isEnabled(), caption_, foregroundRole());
}

// --- MonthCalendar ---

MonthCalendar::MonthCalendar(QWidget* parent) : QCalendarWidget(parent) {}

void MonthCalendar::setDate(const QDate& d) {
    setSelectedDate(d);
    setCurrentPage(d.year(), d.month());
}

// --- DateTimePicker ---

DateTimePicker::DateTimePicker(QWidget* parent) : QDateEdit(parent) {
    setCalendarPopup(true);
    const QString fmt = data::formatSettings().shortDateFormat;
    if (!fmt.isEmpty()) setDisplayFormat(fmt);
}

// --- Image ---

Image::Image(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setScaledContents(false);
}

void Image::setPicture(const QString& path) {
    picture_ = path;
    setPixmap(QPixmap(path));
}

} // namespace controls
