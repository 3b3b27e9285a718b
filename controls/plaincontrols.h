#pragma once
// The plain (not data-aware) control classes a stored layout may name: BitBtn, Panel,
// StaticText and labels, MonthCalendar, DateTimePicker, Image. The layout loader registers
// them with the widget factory before it reads the first layout.
#include <QCalendarWidget>
#include <QDate>
#include <QDateEdit>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace controls {

// Registers the classes above (and "QLabel", so every stored label draws its accelerator).
// Safe to call more than once.
void registerPlainControls();

// A button; `kind` "close" makes it a close button: it closes its window and runs no
// handler, and shows "&Close" when no caption is stored.
class BitBtn : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(QString kind READ kind WRITE setKind)
public:
    explicit BitBtn(QWidget* parent = nullptr);
    QString kind() const { return kind_; }
    void setKind(const QString& kind);
    bool isCloseKind() const;

private:
    QString kind_;
};

// A label whose "&" marks an accelerator: the ampersand is not drawn and the character
// after it is underlined, with or without a buddy ("&&" draws one ampersand).
class Label : public QLabel {
    Q_OBJECT
public:
    explicit Label(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    bool drawsMnemonic() const;
};

// A panel with a bevel: `bevelOuter` "raised" (default), "lowered" or "none", `bevelWidth`
// in pixels (default 1), `color` a colour name ("white", "silver", "#c0c0c0") or a system
// colour ("buttonFace", "buttonHighlight", "window"); without a colour the palette's window
// colour. Children are placed inside it as stored.
class Panel : public QFrame {
    Q_OBJECT
    Q_PROPERTY(int bevelWidth READ bevelWidth WRITE setBevelWidth)
    Q_PROPERTY(QString bevelOuter READ bevelOuter WRITE setBevelOuter)
    Q_PROPERTY(QString color READ color WRITE setColor)
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
public:
    explicit Panel(QWidget* parent = nullptr);
    int bevelWidth() const { return bevelWidth_; }
    void setBevelWidth(int w);
    QString bevelOuter() const { return bevelOuter_; }
    void setBevelOuter(const QString& b);
    QString color() const { return color_; }
    void setColor(const QString& c);
    QString caption() const { return caption_; }
    void setCaption(const QString& c);
    QColor fillColor() const;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    int bevelWidth_ = 1;
    QString bevelOuter_ = QStringLiteral("raised");
    QString color_;
    QString caption_;
    void updateMargins();
};

// A month calendar; `date` is the selected date stored in the layout.
class MonthCalendar : public QCalendarWidget {
    Q_OBJECT
    Q_PROPERTY(QDate date READ date WRITE setDate)
public:
    explicit MonthCalendar(QWidget* parent = nullptr);
    QDate date() const { return selectedDate(); }
    void setDate(const QDate& d);
};

// A date picker with a drop-down calendar, in the system's short date format; `date` is
// the date stored in the layout.
class DateTimePicker : public QDateEdit {
    Q_OBJECT
public:
    explicit DateTimePicker(QWidget* parent = nullptr);

protected:
    // One tab stop, as a date picker is: Tab leaves it instead of walking its date parts.
    bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }
};

// A picture: `picture` names an image file or resource (":/layouts/logo.jpg"), shown at its
// natural size from the top-left corner, neither stretched nor centred.
class Image : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QString picture READ picture WRITE setPicture)
public:
    explicit Image(QWidget* parent = nullptr);
    QString picture() const { return picture_; }
    void setPicture(const QString& path);

private:
    QString picture_;
};

// Turns a system colour name or a colour name into a colour (invalid when unknown).
QColor colorFromName(const QString& name, const QPalette& palette);

} // namespace controls
