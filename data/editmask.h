#pragma once
// Edit masks in the stored layouts' language, e.g. "!99/99/00;1;_", "!90:00;1;_",
// "!\(999\)000-0000;1;_", "000\-00\-0000;1;_":
//   0 required digit, 9 optional digit, # optional digit or sign, L/l letter (required/optional),
//   A/a letter or digit, C/c any character, \x literal x, / date separator, : time separator,
//   ! > < modifiers (no effect on positions). After the first ';' : 1 = literals are stored
//   with the value, 0 = not; after the second ';' : the blank character.
#include <QString>
#include <QVector>

namespace data {

class EditMask {
public:
    EditMask() = default;
    explicit EditMask(const QString& mask); // "/" and ":" resolved from formatSettings()

    bool isEmpty() const { return positions_.isEmpty(); }
    const QString& source() const { return source_; }
    bool storesLiterals() const { return storeLiterals_; }
    QChar blank() const { return blank_; }
    int length() const { return positions_.size(); }

    // The equivalent QLineEdit::inputMask (Qt's 9/0 are the other way round).
    QString qtInputMask() const;

    // The text a box shows for a stored value: literals in their places, the blank
    // character in every unfilled place.
    QString displayText(const QString& value) const;

    // The text a window reads from a masked box: literals in place, a space in every
    // unfilled place (display text with blank characters replaced by spaces).
    QString readText(const QString& display) const;

    // True when every required position of the display text is filled.
    bool isComplete(const QString& display) const;

    // The value stored for a display text: with or without literals, blanks as spaces;
    // an untouched text with literals stored keeps them ("(   )   -    ").
    QString storedValue(const QString& display) const;

    // Throws EditError("Invalid input value.  Use escape key to abandon changes")
    // when the display text is not complete.
    void validate(const QString& display) const;

    static const QString& invalidInputMessage();

private:
    enum class Kind { Literal, Digit, DigitOrSign, Letter, AlphaNum, Any };
    struct Position {
        Kind kind;
        bool required;
        QChar literal;
    };
    QString source_;
    QVector<Position> positions_;
    bool storeLiterals_ = true;
    QChar blank_ = '_';
    bool accepts(const Position& p, QChar c) const;
};

} // namespace data
