// The "mailto:" link of a message: its sixteen pieces in order, and a link that a mail
// program reads back as exactly those pieces, whatever the caller's texts hold.
#include "messages/maillink.h"
#include "messagetest.h"
#include <QtTest>

using messages::MailTexts;
using messagetest::decodeLink;

Q_DECLARE_METATYPE(MailTexts)

class TestMailLink : public QObject {
    Q_OBJECT

private slots:
    void thePiecesInTheirOrder() {
        MailTexts t{"helen@corvane.test", "John Smith", "Acme", "(555)123-4567", "Please Call", "14:05"};
        QCOMPARE(messages::mailLinkPieces(t),
                 (QStringList{"mailto:", "helen@corvane.test",
                              "?Subject=", " Message Received from: ", "John Smith", ".",
                              " Company: ", "Acme", "(555)123-4567", ".", " Message Marked:  ", "Please Call",
                              ".", " Time Of Call ", "14:05", "&Body="}));
    }

    void decodesToTheJoinedPieces_data() {
        QTest::addColumn<MailTexts>("texts");
        QTest::newRow("ordinary texts")
            << MailTexts{"helen@corvane.test", "John Smith", "Acme", "(555)123-4567", "Please Call", "14:05"};
        QTest::newRow("ampersand and question mark") << MailTexts{
            "tom@corvane.test", "Smith & Sons?", "R&D?Ltd", "(555)123-4567", "Call & Write", "09:30"};
        QTest::newRow("hash, percent and equals") << MailTexts{
            "a.b@corvane.test", "#1 Fan", "100% Pure=Good", "(   )   -    ", "Body=Yes&Subject=No", "  :  "};
        QTest::newRow("blanks and a plus") << MailTexts{
            "first+desk@corvane.test", "  Two  Blanks ", "A + B", "", "Will Call Again", "23:59"};
        QTest::newRow("non-ASCII letters") << MailTexts{
            "jürgen@corvane.test", "Zoë Müller", "Søn & Søn ÅB", "(555)123-4567", "Rückruf erbeten", "08:15"};
        QTest::newRow("a line break")
            << MailTexts{"helen@corvane.test", "Line\nBreak", "Acme\r\nCorp", "", "Urgent\n", "10:00"};
        QTest::newRow("before any message was started") << MailTexts{};
    }
    void decodesToTheJoinedPieces() {
        QFETCH(MailTexts, texts);
        const QString link = messages::mailLink(texts);
        const QStringList pieces = messages::mailLinkPieces(texts);
        QCOMPARE(pieces.size(), 16);

        // Nothing in the link that a mail program would read as structure, except the one
        // "?" before the subject and the one "&" before the body; ASCII only, no blanks.
        QCOMPARE(link.count('?'), 1);
        QCOMPARE(link.count('&'), 1);
        QVERIFY(!link.contains('#'));
        for (QChar c : link)
            QVERIFY2(c.unicode() > 32 && c.unicode() < 127, qPrintable(link));

        const auto d = decodeLink(link);
        QVERIFY(d.isMailto);
        QCOMPARE(d.address, texts.address);
        QCOMPARE(d.headers.size(), 2);
        QCOMPARE(d.headers[0].first, QString("Subject"));
        QCOMPARE(d.headers[1].first, QString("Body"));
        QCOMPARE(d.headers[1].second, QString());
        // Put together again unencoded, the decoded parts are exactly the pieces joined.
        const QString decoded = "mailto:" + d.address + "?Subject=" + d.headers[0].second + "&Body=";
        QCOMPARE(decoded, pieces.join(QString()));
    }

    void beforeAnyMessageOnlyTheLiteralPieces() {
        const QStringList pieces = messages::mailLinkPieces(MailTexts{});
        QCOMPARE(pieces.join(QString()), QString("mailto:?Subject= Message Received from: . Company: ."
                                                 " Message Marked:  . Time Of Call &Body="));
    }
};

QTEST_MAIN(TestMailLink)
#include "tst_maillink.moc"
