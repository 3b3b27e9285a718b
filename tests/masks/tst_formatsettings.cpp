// The date and time formats, separators and clock: from a locale, and replaced by tests.
#include "data/editmask.h"
#include "data/formatsettings.h"
#include "tests/support/testdb.h"

#include <QLocale>
#include <QtTest>

class TestFormatSettings : public QObject {
    Q_OBJECT

private slots:
    void fromLocale_data();
    void fromLocale();
    void systemLocaleIsTheDefault();
    void defaultClockIsTheRealClock();
    void texts_data();
    void texts();
    void fixedFormatsForTests();
    void setFixedNowMovesOnlyTheClock();
    void masksReadTheSeparatorsInUse();
};

void TestFormatSettings::fromLocale_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("shortDate");
    QTest::addColumn<QString>("longTime");
    QTest::addColumn<QChar>("dateSep");
    QTest::addColumn<QChar>("timeSep");
    QTest::addColumn<QChar>("decimal");

    // Long time formats carry no time zone: the texts are stored in 20 characters.
    QTest::newRow("en_US") << QLocale("en_US") << "M/d/yy"
                           << "h:mm:ss AP" << QChar('/') << QChar(':') << QChar('.');
    QTest::newRow("de_DE") << QLocale("de_DE") << "dd.MM.yy"
                           << "HH:mm:ss" << QChar('.') << QChar(':') << QChar(',');
    QTest::newRow("fr_FR") << QLocale("fr_FR") << "dd/MM/yyyy"
                           << "HH:mm:ss" << QChar('/') << QChar(':') << QChar(',');
    QTest::newRow("en_GB") << QLocale("en_GB") << "dd/MM/yyyy"
                           << "HH:mm:ss" << QChar('/') << QChar(':') << QChar('.');
    // The POSIX locale has no numeric short date: the month-first formats apply.
    QTest::newRow("C") << QLocale::c() << "M/d/yy"
                       << "h:mm:ss AP" << QChar('/') << QChar(':') << QChar('.');
}

void TestFormatSettings::fromLocale() {
    QFETCH(QLocale, locale);
    QFETCH(QString, shortDate);
    QFETCH(QString, longTime);
    QFETCH(QChar, dateSep);
    QFETCH(QChar, timeSep);
    QFETCH(QChar, decimal);

    const data::FormatSettings s = data::FormatSettings::fromLocale(locale);
    QCOMPARE(s.shortDateFormat, shortDate);
    QCOMPARE(s.longTimeFormat, longTime);
    QCOMPARE(s.dateSeparator, dateSep);
    QCOMPARE(s.timeSeparator, timeSep);
    QCOMPARE(s.decimalSeparator, decimal);
    QVERIFY(bool(s.now));
}

void TestFormatSettings::systemLocaleIsTheDefault() {
    // Runs before any test replaces the settings (slots run in declaration order).
    const data::FormatSettings expected = data::FormatSettings::fromLocale(QLocale::system());
    const data::FormatSettings& s = data::formatSettings();
    QCOMPARE(s.shortDateFormat, expected.shortDateFormat);
    QCOMPARE(s.longTimeFormat, expected.longTimeFormat);
    QCOMPARE(s.dateSeparator, expected.dateSeparator);
    QCOMPARE(s.timeSeparator, expected.timeSeparator);
    QCOMPARE(s.decimalSeparator, expected.decimalSeparator);
}

void TestFormatSettings::defaultClockIsTheRealClock() {
    const data::FormatSettings s = data::FormatSettings::fromSystemLocale();
    const QDateTime before = QDateTime::currentDateTime();
    const QDateTime now = s.now();
    const QDateTime after = QDateTime::currentDateTime();
    QVERIFY(before <= now && now <= after);
}

void TestFormatSettings::texts_data() {
    QTest::addColumn<QString>("shortDate");
    QTest::addColumn<QString>("longTime");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");

    QTest::newRow("month first, afternoon")
        << "M/d/yy"
        << "h:mm:ss AP" << QDateTime(QDate(2026, 3, 11), QTime(14, 5, 9)) << "3/11/26"
        << "2:05:09 PM";
    QTest::newRow("month first, morning")
        << "M/d/yy"
        << "h:mm:ss AP" << QDateTime(QDate(2026, 10, 1), QTime(9, 0, 0)) << "10/1/26"
        << "9:00:00 AM";
    QTest::newRow("day first, 24 hours")
        << "dd.MM.yyyy"
        << "HH:mm:ss" << QDateTime(QDate(2025, 12, 31), QTime(23, 59, 59)) << "31.12.2025"
        << "23:59:59";
}

void TestFormatSettings::texts() {
    QFETCH(QString, shortDate);
    QFETCH(QString, longTime);
    QFETCH(QDateTime, now);
    QFETCH(QString, date);
    QFETCH(QString, time);

    data::FormatSettings s;
    s.shortDateFormat = shortDate;
    s.longTimeFormat = longTime;
    s.now = [now] { return now; };
    QCOMPARE(s.todayShortDate(), date);
    QCOMPARE(s.nowLongTime(), time);
}

void TestFormatSettings::fixedFormatsForTests() {
    testsupport::useFixedFormats();
    const data::FormatSettings& s = data::formatSettings();
    QCOMPARE(s.shortDateFormat, QString("M/d/yy"));
    QCOMPARE(s.longTimeFormat, QString("h:mm:ss AP"));
    QCOMPARE(s.dateSeparator, QChar('/'));
    QCOMPARE(s.timeSeparator, QChar(':'));
    QCOMPARE(s.decimalSeparator, QChar('.'));
    QCOMPARE(s.now(), QDateTime(QDate(2026, 3, 11), QTime(14, 5, 9)));
    QCOMPARE(s.todayShortDate(), QString("3/11/26"));
    QCOMPARE(s.nowLongTime(), QString("2:05:09 PM"));
}

void TestFormatSettings::setFixedNowMovesOnlyTheClock() {
    testsupport::useFixedFormats();
    data::formatSettings().shortDateFormat = "yyyy-MM-dd";
    testsupport::setFixedNow(QDateTime(QDate(2027, 1, 2), QTime(8, 7, 6)));
    QCOMPARE(data::formatSettings().todayShortDate(), QString("2027-01-02"));
    QCOMPARE(data::formatSettings().nowLongTime(), QString("8:07:06 AM"));
    QCOMPARE(testsupport::fixedNow(), QDateTime(QDate(2027, 1, 2), QTime(8, 7, 6)));
    // The fixed formats start again from the fixed day.
    testsupport::useFixedFormats();
    QCOMPARE(data::formatSettings().todayShortDate(), QString("3/11/26"));
}

void TestFormatSettings::masksReadTheSeparatorsInUse() {
    data::FormatSettings s = data::FormatSettings::fromLocale(QLocale("de_DE"));
    data::setFormatSettings(s);
    QCOMPARE(data::formatSettings().dateSeparator, QChar('.'));
    QCOMPARE(data::EditMask("!99/99/00;1;_").displayText(""), QString("__.__.__"));
    QCOMPARE(data::EditMask("!90:00;1;_").displayText(""), QString("__:__"));
}

QTEST_GUILESS_MAIN(TestFormatSettings)
#include "tst_formatsettings.moc"
