#include "data/formatsettings.h"

#include <QLocale>

namespace data {

namespace {

QDateTime clockNow(const FormatSettings& s) { return s.now ? s.now() : QDateTime::currentDateTime(); }

// The first character of a format that is neither a format letter nor quoted text: the
// separator the format puts between its parts.
QChar separatorOf(const QString& format, QChar fallback) {
    bool quoted = false;
    for (QChar c : format) {
        if (c == '\'') {
            quoted = !quoted;
            continue;
        }
        if (!quoted && !c.isLetter() && !c.isSpace()) return c;
    }
    return fallback;
}

// The desk's time texts carry no time zone (they are stored in 20 characters and compared
// as text), so zone designators of a locale's long format are dropped.
QString withoutTimeZone(const QString& format) {
    QString out;
    bool quoted = false;
    for (QChar c : format) {
        if (c == '\'') quoted = !quoted;
        if (!quoted && c == 't') continue;
        out += c;
    }
    return out.simplified();
}

} // namespace

QString FormatSettings::todayShortDate() const {
    // The C locale keeps the texts independent of the user's language (AM/PM, names).
    return QLocale::c().toString(clockNow(*this).date(), shortDateFormat);
}

QString FormatSettings::nowLongTime() const {
    return QLocale::c().toString(clockNow(*this).time(), longTimeFormat);
}

FormatSettings FormatSettings::fromSystemLocale() { return fromLocale(QLocale::system()); }

FormatSettings FormatSettings::fromLocale(const QLocale& locale) {
    // The POSIX "C" locale states no preference of its own (its short date is not numeric):
    // the desk then uses the month-first formats it was designed with.
    const QLocale loc =
        locale.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates) : locale;
    FormatSettings s;
    s.shortDateFormat = loc.dateFormat(QLocale::ShortFormat);
    s.longTimeFormat = withoutTimeZone(loc.timeFormat(QLocale::LongFormat));
    if (s.shortDateFormat.isEmpty()) s.shortDateFormat = "M/d/yy";
    if (s.longTimeFormat.isEmpty()) s.longTimeFormat = "h:mm:ss AP";
    s.dateSeparator = separatorOf(s.shortDateFormat, '/');
    s.timeSeparator = separatorOf(s.longTimeFormat, ':');
    const QString point = loc.decimalPoint();
    s.decimalSeparator = point.isEmpty() ? QChar('.') : point.at(0);
    s.now = [] { return QDateTime::currentDateTime(); };
    return s;
}

FormatSettings& formatSettings() {
    static FormatSettings settings = FormatSettings::fromSystemLocale();
    return settings;
}

void setFormatSettings(const FormatSettings& settings) { formatSettings() = settings; }

} // namespace data
