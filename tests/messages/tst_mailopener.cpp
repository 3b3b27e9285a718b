// "&Email Message" through the desktop's real opener: xdg-open hands the link to the mail
// handler registered for x-scheme-handler/mailto, here a desktop entry of the test's own (in
// the temporary data folder the fixture points XDG_DATA_HOME at) whose program writes the
// link it receives to a file.
#include "messagetest.h"
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

using namespace messagetest;

class TestMailOpener : public QObject, public PadTest {
    Q_OBJECT

    QString received;
    QList<QPair<QByteArray, QByteArray>> savedEnv;

    void setEnv(const char* name, const QByteArray& value) {
        savedEnv.append({name, qgetenv(name)});
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }

    // A mail program for this test only: its desktop entry and its default registration.
    void registerHandler() {
        const QString dir = desk->db().dir();
        received = dir + "/received.txt";
        const QString handler = dir + "/mail-handler";
        QFile script(handler);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(QString("#!/bin/sh\nprintf '%s' \"$1\" > '%1.part' && mv '%1.part' '%1'\n")
                         .arg(received)
                         .toUtf8());
        script.close();
        QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

        const QString apps = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME")) + "/applications";
        QVERIFY(apps.startsWith(dir)); // the fixture's folder, never the user's
        QVERIFY(QDir().mkpath(apps));
        QFile entry(apps + "/quorvale-test-mail.desktop");
        QVERIFY(entry.open(QIODevice::WriteOnly));
        entry.write(QString("[Desktop Entry]\nType=Application\nName=Test Mail\nExec=%1 %u\n"
                            "MimeType=x-scheme-handler/mailto;\nNoDisplay=true\n")
                        .arg(handler)
                        .toUtf8());
        entry.close();
        QVERIFY(QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")).startsWith(dir));
        QCOMPARE(QProcess::execute("xdg-mime",
                                   {"default", "quorvale-test-mail.desktop", "x-scheme-handler/mailto"}),
                 0);
    }

private slots:
    void initTestCase() {
        layouts::ensureLoaded();
        if (QStandardPaths::findExecutable("xdg-open").isEmpty() ||
            QStandardPaths::findExecutable("xdg-mime").isEmpty())
            QFAIL("xdg-open and xdg-mime (package xdg-utils) are needed");
    }
    void init() {
        openDesk();
        // The plain desktop: xdg-open asks the registered handlers; a display must be named
        // for it to look (none is opened).
        for (const char* name : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                                 "GNOME_DESKTOP_SESSION_ID", "BROWSER", "WAYLAND_DISPLAY"})
            setEnv(name, QByteArray());
        setEnv("DISPLAY", ":97");
        shell::setShell(nullptr); // the desktop's own opener
        createWindows();
    }
    void cleanup() {
        QVERIFY(closeDesk());
        for (auto it = savedEnv.rbegin(); it != savedEnv.rend(); ++it) {
            if (it->second.isNull())
                qunsetenv(it->first);
            else
                qputenv(it->first, it->second);
        }
        savedEnv.clear();
    }

    void theMailHandlerReceivesTheMessagesSummary() {
        registerHandler();
        QVERIFY(showActive(*form));
        startFor("Abbott, Helen");
        typeInto(box("EditTime"), "1630");
        typeInto(box("EditFrom"), "O'Neil & Co?");
        typeInto(box("EditCompany"), "Zo");
        // a letter beyond ASCII, as a keyboard layout sends it
        QTest::sendKeyEvent(QTest::Click, box("EditCompany"), Qt::Key_unknown, QString::fromUtf8("ë"),
                            Qt::NoModifier);
        QTest::keyClicks(box("EditCompany"), " #2 100%");
        QVERIFY(pickFromList(combo("DBLookupCombo2"), "Will Call Again"));
        email(ModalResult::Yes);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(received), 15000);
        QFile f(received);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString link = QString::fromUtf8(f.readAll());
        const DecodedLink d = decodeLink(link);
        QVERIFY2(d.isMailto, qPrintable(link));
        QCOMPARE(d.address, QString("helen@corvane.test"));
        QCOMPARE(d.headers.size(), 2);
        QCOMPARE(d.headers[0].first, QString("Subject"));
        QCOMPARE(d.headers[0].second,
                 QString(" Message Received from: O'Neil & Co?. Company: Zoë #2 100%(   )   -    ."
                         " Message Marked:  Will Call Again. Time Of Call 16:30"));
        QCOMPARE(d.headers[1], (QPair<QString, QString>("Body", "")));
    }
};

QTEST_MAIN(TestMailOpener)
#include "tst_mailopener.moc"
