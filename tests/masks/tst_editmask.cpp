// The edit-mask language: places, literals, blanks, Qt's input mask, completeness, stored values.
#include "data/editmask.h"
#include "data/errors.h"
#include "data/formatsettings.h"
#include "tests/support/testdb.h"

#include <QLineEdit>
#include <QtTest>

using data::EditMask;

namespace {
const QString Date = "!99/99/00;1;_";
const QString Time = "!90:00;1;_";
const QString Phone = "!\\(999\\)000-0000;1;_";
const QString Ssn = "000\\-00\\-0000;1;_";
const QString SsnBare = "000\\-00\\-0000;0;_";
} // namespace

class TestEditMask : public QObject {
    Q_OBJECT

private slots:
    void init() { testsupport::useFixedFormats(); }

    void parts_data();
    void parts();
    void qtInputMask_data();
    void qtInputMask();
    void separatorsComeFromTheFormatSettings();
    void displayText_data();
    void displayText();
    void readText_data();
    void readText();
    void isComplete_data();
    void isComplete();
    void storedValue_data();
    void storedValue();
    void storedValueOfDisplayedValueIsTheValue_data();
    void storedValueOfDisplayedValueIsTheValue();
    void validate_data();
    void validate();
    void noMaskPassesTextThrough();
    void lineEditTyping_data();
    void lineEditTyping();
};

void TestEditMask::parts_data() {
    QTest::addColumn<QString>("mask");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("storesLiterals");
    QTest::addColumn<QChar>("blank");

    QTest::newRow("date") << Date << 8 << true << QChar('_');
    QTest::newRow("time") << Time << 5 << true << QChar('_');
    QTest::newRow("phone") << Phone << 13 << true << QChar('_');
    QTest::newRow("social security") << Ssn << 11 << true << QChar('_');
    QTest::newRow("literals not stored") << SsnBare << 11 << false << QChar('_');
    QTest::newRow("other blank") << "00-00;1;*" << 5 << true << QChar('*');
    QTest::newRow("no sections") << "000" << 3 << true << QChar('_');
    QTest::newRow("escaped semicolon") << "0\\;0;0;#" << 3 << false << QChar('#');
}

void TestEditMask::parts() {
    QFETCH(QString, mask);
    QFETCH(int, length);
    QFETCH(bool, storesLiterals);
    QFETCH(QChar, blank);
    const EditMask m(mask);
    QCOMPARE(m.source(), mask);
    QVERIFY(!m.isEmpty());
    QCOMPARE(m.length(), length);
    QCOMPARE(m.storesLiterals(), storesLiterals);
    QCOMPARE(m.blank(), blank);
}

void TestEditMask::qtInputMask_data() {
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("expected");

    // Qt's 9 is a required digit and 0 an optional one: the other way round.
    QTest::newRow("date") << Date << "00/00/99;_";
    QTest::newRow("time") << Time << "09:99;_";
    QTest::newRow("phone") << Phone << "(000)999-9999;_";
    QTest::newRow("social security") << Ssn << "999-99-9999;_";
    QTest::newRow("letters and any") << "LlAaCc#;1; "
                                     << "AaNnXx#; ";
    // Literals that are mask characters to Qt are escaped.
    QTest::newRow("qt mask characters as literals") << "\\A\\N\\X\\9\\0\\H\\B\\#[]{}0;1;_"
                                                    << "\\A\\N\\X\\9\\0\\H\\B\\#\\[\\]\\{\\}9;_";
    QTest::newRow("case modifiers") << ">LL<ll<>0;1;_"
                                    << ">AA<aa!9;_";
    QTest::newRow("blank literal") << "00_00;1;_"
                                   << "99 99;_";
}

void TestEditMask::qtInputMask() {
    QFETCH(QString, mask);
    QFETCH(QString, expected);
    QCOMPARE(EditMask(mask).qtInputMask(), expected);
}

void TestEditMask::separatorsComeFromTheFormatSettings() {
    data::FormatSettings s = data::formatSettings();
    s.dateSeparator = '.';
    s.timeSeparator = '-';
    data::setFormatSettings(s);

    const EditMask date(Date), time(Time);
    QCOMPARE(date.qtInputMask(), QString("00.00.99;_"));
    QCOMPARE(time.qtInputMask(), QString("09-99;_"));
    QCOMPARE(date.displayText(""), QString("__.__.__"));
    QCOMPARE(date.storedValue("11.03.26"), QString("11.03.26"));
    QCOMPARE(time.storedValue("_9-30"), QString(" 9-30"));
    // An escaped "/" is a plain slash, not the separator.
    QCOMPARE(EditMask("00\\/00;1;_").displayText(""), QString("__/__"));
}

void TestEditMask::displayText_data() {
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("phone full") << Phone << "(555)123-4567"
                                << "(555)123-4567";
    QTest::newRow("phone empty") << Phone << ""
                                 << "(___)___-____";
    QTest::newRow("phone no area code") << Phone << "(   )123-4567"
                                        << "(___)123-4567";
    QTest::newRow("phone untouched") << Phone << "(   )   -    "
                                     << "(___)___-____";
    QTest::newRow("date typed") << Date << "03/11/26"
                                << "03/11/26";
    QTest::newRow("date with blanks") << Date << " 3/ 5/26"
                                      << "_3/_5/26";
    // Texts the program fills in with the short date format need not fit the places:
    // each part lands before its separator, right-aligned because of '!'.
    QTest::newRow("short date") << Date << "3/11/26"
                                << "_3/11/26";
    QTest::newRow("short date one digit each") << Date << "3/5/26"
                                               << "_3/_5/26";
    QTest::newRow("four-digit year cut") << Date << "3/11/2026"
                                         << "_3/11/20";
    QTest::newRow("time") << Time << "14:05"
                          << "14:05";
    QTest::newRow("time short hour") << Time << "9:30"
                                     << "_9:30";
    QTest::newRow("time with seconds") << Time << "14:05:09"
                                       << "14:05";
    // Without '!' a short part is left-aligned.
    QTest::newRow("left-aligned") << "99/99;1;_"
                                  << "3/5"
                                  << "3_/5_";
    QTest::newRow("ssn") << Ssn << "123-45-6789"
                         << "123-45-6789";
    QTest::newRow("ssn empty") << Ssn << ""
                               << "___-__-____";
    QTest::newRow("bare ssn") << SsnBare << "123456789"
                              << "123-45-6789";
    QTest::newRow("bare ssn short") << SsnBare << "1234"
                                    << "123-4_-____";
    QTest::newRow("bare ssn stored with literals") << SsnBare << "123-45-6789"
                                                   << "123-45-6789";
    QTest::newRow("letters in digit places dropped") << Phone << "(abc)123-4567"
                                                     << "(___)123-4567";
}

void TestEditMask::displayText() {
    QFETCH(QString, mask);
    QFETCH(QString, value);
    QFETCH(QString, expected);
    QCOMPARE(EditMask(mask).displayText(value), expected);
}

void TestEditMask::readText_data() {
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("expected");

    QTest::newRow("untouched phone") << Phone << "(___)___-____"
                                     << "(   )   -    ";
    QTest::newRow("phone without area code") << Phone << "(___)555-1234"
                                             << "(   )555-1234";
    QTest::newRow("date") << Date << "_3/11/26"
                          << " 3/11/26";
    QTest::newRow("time") << Time << "14:05"
                          << "14:05";
    QTest::newRow("spaces stay spaces") << Date << " 3/ 5/26"
                                        << " 3/ 5/26";
    QTest::newRow("short display padded") << Ssn << "123"
                                          << "123-  -    ";
    QTest::newRow("bare ssn keeps literals") << SsnBare << "123-45-____"
                                             << "123-45-    ";
}

void TestEditMask::readText() {
    QFETCH(QString, mask);
    QFETCH(QString, display);
    QFETCH(QString, expected);
    QCOMPARE(EditMask(mask).readText(display), expected);
}

void TestEditMask::isComplete_data() {
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("display");
    QTest::addColumn<bool>("complete");

    QTest::newRow("phone full") << Phone << "(555)123-4567" << true;
    QTest::newRow("phone area code optional") << Phone << "(___)123-4567" << true;
    QTest::newRow("phone partial area code") << Phone << "(5__)123-4567" << true;
    QTest::newRow("phone short") << Phone << "(555)123-456_" << false;
    QTest::newRow("phone untouched") << Phone << "(___)___-____" << false;
    QTest::newRow("phone spaces count as blanks") << Phone << "(   )123-45 7" << false;
    QTest::newRow("date full") << Date << "03/11/26" << true;
    QTest::newRow("date month and day optional") << Date << "__/__/26" << true;
    QTest::newRow("date year short") << Date << "03/11/2_" << false;
    QTest::newRow("date untouched") << Date << "__/__/__" << false;
    QTest::newRow("time one-digit hour") << Time << "_9:30" << true;
    QTest::newRow("time second hour digit required") << Time << "9_:30" << false;
    QTest::newRow("time minutes short") << Time << "14:3_" << false;
    QTest::newRow("ssn full") << Ssn << "123-45-6789" << true;
    QTest::newRow("ssn short") << Ssn << "123-45-678_" << false;
    QTest::newRow("ssn letter") << Ssn << "12a-45-6789" << false;
    QTest::newRow("display cut short") << Ssn << "123-45" << false;
    QTest::newRow("letters") << "LL0;1;_"
                             << "Ab1" << true;
    QTest::newRow("digit in letter place") << "LL0;1;_"
                                           << "A11" << false;
    QTest::newRow("sign place") << "#00;1;_"
                                << "-12" << true;
    QTest::newRow("any character required") << "C0;1;_"
                                            << "_1" << false;
}

void TestEditMask::isComplete() {
    QFETCH(QString, mask);
    QFETCH(QString, display);
    QFETCH(bool, complete);
    QCOMPARE(EditMask(mask).isComplete(display), complete);
}

void TestEditMask::storedValue_data() {
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("expected");

    QTest::newRow("phone full") << Phone << "(555)123-4567"
                                << "(555)123-4567";
    // An untouched box with literals stored keeps its punctuation, blanks as spaces.
    QTest::newRow("phone untouched") << Phone << "(___)___-____"
                                     << "(   )   -    ";
    QTest::newRow("phone no area code") << Phone << "(___)123-4567"
                                        << "(   )123-4567";
    QTest::newRow("date") << Date << "03/11/26"
                          << "03/11/26";
    QTest::newRow("date one-digit parts") << Date << "_3/_5/26"
                                          << " 3/ 5/26";
    QTest::newRow("time") << Time << "_9:30"
                          << " 9:30";
    QTest::newRow("ssn") << Ssn << "123-45-6789"
                         << "123-45-6789";
    QTest::newRow("bare ssn") << SsnBare << "123-45-6789"
                              << "123456789";
    QTest::newRow("bare ssn partly typed") << SsnBare << "123-4_-____"
                                           << "1234     ";
    QTest::newRow("bare ssn untouched") << SsnBare << "___-__-____"
                                        << "";
}

void TestEditMask::storedValue() {
    QFETCH(QString, mask);
    QFETCH(QString, display);
    QFETCH(QString, expected);
    QCOMPARE(EditMask(mask).storedValue(display), expected);
}

void TestEditMask::storedValueOfDisplayedValueIsTheValue_data() {
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("value");

    QTest::newRow("phone") << Phone << "(555)123-4567";
    QTest::newRow("phone no area code") << Phone << "(   )123-4567";
    QTest::newRow("phone untouched") << Phone << "(   )   -    ";
    QTest::newRow("date") << Date << "12/31/99";
    QTest::newRow("date blanks") << Date << " 1/ 2/03";
    QTest::newRow("time") << Time << "23:59";
    QTest::newRow("ssn") << Ssn << "987-65-4321";
    QTest::newRow("bare ssn") << SsnBare << "987654321";
}

void TestEditMask::storedValueOfDisplayedValueIsTheValue() {
    QFETCH(QString, mask);
    QFETCH(QString, value);
    const EditMask m(mask);
    QCOMPARE(m.storedValue(m.displayText(value)), value);
}

void TestEditMask::validate_data() {
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("display");
    QTest::addColumn<bool>("valid");

    QTest::newRow("date complete") << Date << "03/11/26" << true;
    QTest::newRow("date short") << Date << "03/11/2_" << false;
    QTest::newRow("time short") << Time << "1_:__" << false;
    QTest::newRow("phone without area code") << Phone << "(___)555-1234" << true;
    QTest::newRow("phone untouched") << Phone << "(___)___-____" << false;
}

void TestEditMask::validate() {
    QFETCH(QString, mask);
    QFETCH(QString, display);
    QFETCH(bool, valid);
    const EditMask m(mask);
    if (valid) {
        m.validate(display);
        return;
    }
    try {
        m.validate(display);
        QFAIL("an incomplete text was accepted");
    } catch (const data::EditError& e) {
        QCOMPARE(e.message(), QString("Invalid input value.  Use escape key to abandon changes"));
        QCOMPARE(QString(e.kindName()), QString("EDBEditError"));
    }
    QCOMPARE(EditMask::invalidInputMessage(),
             QString("Invalid input value.  Use escape key to abandon changes"));
}

void TestEditMask::noMaskPassesTextThrough() {
    const EditMask m;
    QVERIFY(m.isEmpty());
    QCOMPARE(m.length(), 0);
    QCOMPARE(m.qtInputMask(), QString());
    QCOMPARE(m.displayText("free text"), QString("free text"));
    QCOMPARE(m.readText("free text"), QString("free text"));
    QCOMPARE(m.storedValue("free text"), QString("free text"));
    QVERIFY(m.isComplete(""));
    m.validate("");
    QVERIFY(EditMask(QString()).isEmpty());
}

// The Qt input mask places characters exactly where the mask logic expects them, and
// Qt's idea of acceptable input is the mask's idea of complete.
void TestEditMask::lineEditTyping_data() {
    QTest::addColumn<QString>("mask");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("complete");

    QTest::newRow("phone full") << Phone << 0 << "5551234567"
                                << "(555)123-4567"
                                << "(555)123-4567" << true;
    QTest::newRow("phone without area code") << Phone << 5 << "5551234"
                                             << "(___)555-1234"
                                             << "(   )555-1234" << true;
    QTest::newRow("phone short") << Phone << 0 << "555123"
                                 << "(555)123-____"
                                 << "(555)123-    " << false;
    QTest::newRow("phone letters refused") << Phone << 0 << "ab555"
                                           << "(555)___-____"
                                           << "(555)   -    " << false;
    QTest::newRow("date") << Date << 0 << "031126"
                          << "03/11/26"
                          << "03/11/26" << true;
    QTest::newRow("date short") << Date << 0 << "03112"
                                << "03/11/2_"
                                << "03/11/2 " << false;
    QTest::newRow("time") << Time << 0 << "1405"
                          << "14:05"
                          << "14:05" << true;
    QTest::newRow("time one-digit hour") << Time << 1 << "930"
                                         << "_9:30"
                                         << " 9:30" << true;
    QTest::newRow("ssn") << Ssn << 0 << "123456789"
                         << "123-45-6789"
                         << "123-45-6789" << true;
}

void TestEditMask::lineEditTyping() {
    QFETCH(QString, mask);
    QFETCH(int, cursor);
    QFETCH(QString, keys);
    QFETCH(QString, display);
    QFETCH(QString, stored);
    QFETCH(bool, complete);

    const EditMask m(mask);
    QLineEdit edit;
    edit.setInputMask(m.qtInputMask());
    edit.setText(QString());
    edit.setCursorPosition(cursor);
    QTest::keyClicks(&edit, keys);

    QCOMPARE(edit.displayText(), display);
    QCOMPARE(m.storedValue(edit.displayText()), stored);
    QCOMPARE(m.isComplete(edit.displayText()), complete);
    QCOMPARE(edit.hasAcceptableInput(), complete);
    // A stored value shown again gives the same box text.
    QCOMPARE(m.displayText(stored), display);
}

QTEST_MAIN(TestEditMask)
#include "tst_editmask.moc"
