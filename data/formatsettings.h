#pragma once
// The system's date and time formats, separators and clock, in one replaceable object so
// that tests can fix "today" and the formats. Default: the user's locale and the real clock.
#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>

class QLocale;

namespace data {

struct FormatSettings {
    QString shortDateFormat; // QDateTime format string, e.g. "M/d/yy"
    QString longTimeFormat;  // e.g. "h:mm:ss AP"
    QChar dateSeparator = '/';
    QChar timeSeparator = ':';
    QChar decimalSeparator = '.';
    std::function<QDateTime()> now; // the clock

    QString todayShortDate() const; // today's date in shortDateFormat
    QString nowLongTime() const;    // the current time in longTimeFormat

    static FormatSettings fromSystemLocale();
    static FormatSettings fromLocale(const QLocale& locale); // that locale's formats, the real clock
};

// The one instance the program uses; tests replace it.
FormatSettings& formatSettings();
void setFormatSettings(const FormatSettings& settings);

} // namespace data
