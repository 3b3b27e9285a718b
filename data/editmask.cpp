#include "data/editmask.h"

#include "data/errors.h"
#include "data/formatsettings.h"

namespace data {

namespace {

// The mask part of a mask text: everything before the first ';' that is not escaped.
int maskEnd(const QString& source) {
    for (int i = 0; i < source.size(); ++i) {
        if (source[i] == '\\')
            ++i;
        else if (source[i] == ';')
            return i;
    }
    return int(source.size());
}

// '!' puts the blanks of optional places in front (a short part is right-aligned).
bool hasLeadingBlanks(const QString& source) {
    const int end = maskEnd(source);
    for (int i = 0; i < end; ++i) {
        if (source[i] == '\\')
            ++i;
        else if (source[i] == '!')
            return true;
    }
    return false;
}

// Characters with a meaning of their own in QLineEdit::inputMask.
bool isQtMaskChar(QChar c) {
    static const QString special = QStringLiteral("AaNnXx90DdHhBb#><!\\[]{};");
    return special.contains(c);
}

} // namespace

EditMask::EditMask(const QString& mask) : source_(mask) {
    if (mask.isEmpty()) return;
    const FormatSettings& fs = formatSettings();
    const int end = maskEnd(mask);
    for (int i = 0; i < end; ++i) {
        const QChar c = mask[i];
        auto add = [&](Kind k, bool required) { positions_.append({k, required, QChar()}); };
        auto literal = [&](QChar l) { positions_.append({Kind::Literal, false, l}); };
        switch (c.unicode()) {
        case '\\':
            if (i + 1 < end) literal(mask[++i]);
            break;
        case '!':
        case '>':
        case '<':
            break; // modifiers: no place of their own
        case '0':
            add(Kind::Digit, true);
            break;
        case '9':
            add(Kind::Digit, false);
            break;
        case '#':
            add(Kind::DigitOrSign, false);
            break;
        case 'L':
            add(Kind::Letter, true);
            break;
        case 'l':
            add(Kind::Letter, false);
            break;
        case 'A':
            add(Kind::AlphaNum, true);
            break;
        case 'a':
            add(Kind::AlphaNum, false);
            break;
        case 'C':
            add(Kind::Any, true);
            break;
        case 'c':
            add(Kind::Any, false);
            break;
        case '/':
            literal(fs.dateSeparator);
            break;
        case ':':
            literal(fs.timeSeparator);
            break;
        case '_':
            literal(' ');
            break;
        default:
            literal(c);
            break;
        }
    }
    const QStringList parts = mask.mid(end + 1).split(';');
    if (end < mask.size()) {
        storeLiterals_ = parts.value(0).trimmed() != "0";
        if (parts.size() > 1 && !parts[1].isEmpty()) blank_ = parts[1][0];
    }
}

const QString& EditMask::invalidInputMessage() {
    static const QString text = QStringLiteral("Invalid input value.  Use escape key to abandon changes");
    return text;
}

bool EditMask::accepts(const Position& p, QChar c) const {
    switch (p.kind) {
    case Kind::Literal:
        return c == p.literal;
    case Kind::Digit:
        return c >= '0' && c <= '9';
    case Kind::DigitOrSign:
        return (c >= '0' && c <= '9') || c == '+' || c == '-';
    case Kind::Letter:
        return c.isLetter();
    case Kind::AlphaNum:
        return c.isLetterOrNumber();
    case Kind::Any:
        return !c.isNull() && c != ' ';
    }
    return false;
}

QString EditMask::qtInputMask() const {
    if (isEmpty()) return {};
    QString out;
    const int end = maskEnd(source_);
    int pos = 0; // index into positions_, kept in step with the mask text
    for (int i = 0; i < end; ++i) {
        const QChar c = source_[i];
        if (c == '!') continue; // Qt's '!' means something else; alignment is ours
        if (c == '<' && i + 1 < end && source_[i + 1] == '>') {
            out += '!'; // case conversion off
            ++i;
            continue;
        }
        if (c == '>' || c == '<') {
            out += c;
            continue;
        }
        if (c == '\\' && i + 1 >= end) continue;
        if (c == '\\') ++i;
        const Position& p = positions_[pos++];
        switch (p.kind) {
        case Kind::Literal:
            if (isQtMaskChar(p.literal)) out += '\\';
            out += p.literal;
            break;
        case Kind::Digit:
            out += p.required ? '9' : '0';
            break;
        case Kind::DigitOrSign:
            out += '#';
            break;
        case Kind::Letter:
            out += p.required ? 'A' : 'a';
            break;
        case Kind::AlphaNum:
            out += p.required ? 'N' : 'n';
            break;
        case Kind::Any:
            out += p.required ? 'X' : 'x';
            break;
        }
    }
    return out + ';' + blank_;
}

QString EditMask::displayText(const QString& value) const {
    if (isEmpty()) return value;
    const int n = length();
    QString out(n, blank_);
    for (int i = 0; i < n; ++i)
        if (positions_[i].kind == Kind::Literal) out[i] = positions_[i].literal;
    if (value.isEmpty()) return out;

    auto fits = [&](int i, QChar c) {
        const Position& p = positions_[i];
        if (p.kind == Kind::Literal) return c == p.literal;
        return c == ' ' || c == blank_ || accepts(p, c);
    };
    auto put = [&](int i, QChar c) {
        if (c != ' ' && c != blank_ && accepts(positions_[i], c)) out[i] = c;
    };

    // A value stored through the mask has one character per place.
    if (value.size() == n) {
        bool positional = true;
        for (int i = 0; i < n && positional; ++i)
            positional = fits(i, value[i]);
        if (positional) {
            for (int i = 0; i < n; ++i)
                if (positions_[i].kind != Kind::Literal) put(i, value[i]);
            return out;
        }
    }

    if (!storeLiterals_) {
        // Only the typed characters are stored: they fill the places in order.
        int vi = 0;
        for (int i = 0; i < n && vi < value.size(); ++i)
            if (positions_[i].kind != Kind::Literal) put(i, value[vi++]);
        return out;
    }

    // A text of another shape (a date the program filled in as "3/11/26"): each run of
    // places takes the characters up to the next literal, aligned as the mask says.
    const bool leading = hasLeadingBlanks(source_);
    int vi = 0;
    int i = 0;
    while (i < n) {
        if (positions_[i].kind == Kind::Literal) {
            if (vi < value.size() && value[vi] == positions_[i].literal) ++vi;
            ++i;
            continue;
        }
        int runEnd = i;
        while (runEnd < n && positions_[runEnd].kind != Kind::Literal)
            ++runEnd;
        const QChar next = runEnd < n ? positions_[runEnd].literal : QChar();
        QString part;
        while (vi < value.size() && (next.isNull() || value[vi] != next)) {
            if (part.size() < runEnd - i) part += value[vi];
            ++vi;
        }
        const int offset = leading ? (runEnd - i) - int(part.size()) : 0;
        for (int k = 0; k < part.size(); ++k)
            put(i + offset + k, part[k]);
        i = runEnd;
    }
    return out;
}

QString EditMask::readText(const QString& display) const {
    if (isEmpty()) return display;
    QString out(length(), ' ');
    for (int i = 0; i < length(); ++i) {
        const Position& p = positions_[i];
        if (p.kind == Kind::Literal) {
            out[i] = p.literal;
        } else if (i < display.size() && display[i] != blank_) {
            out[i] = display[i];
        }
    }
    return out;
}

bool EditMask::isComplete(const QString& display) const {
    for (int i = 0; i < length(); ++i) {
        const Position& p = positions_[i];
        if (p.kind == Kind::Literal) continue;
        const QChar c = i < display.size() ? display[i] : blank_;
        const bool filled = c != blank_ && c != ' ';
        if (!filled ? p.required : !accepts(p, c)) return false;
    }
    return true;
}

QString EditMask::storedValue(const QString& display) const {
    if (isEmpty()) return display;
    const QString text = readText(display);
    if (storeLiterals_) return text;
    QString typed;
    for (int i = 0; i < length(); ++i)
        if (positions_[i].kind != Kind::Literal) typed += text[i];
    return typed.trimmed().isEmpty() ? QString() : typed;
}

void EditMask::validate(const QString& display) const {
    if (!isComplete(display)) throw EditError(invalidInputMessage());
}

} // namespace data
