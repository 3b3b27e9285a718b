// The shell layer: links go to the installed shell; the desktop's opener gets the link as its
// one argument, with nothing of it read by a command shell.
#include "shell/shell.h"
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class Recorder : public shell::Shell {
public:
    void open(const QString& link) override { links << link; }
    QStringList links;
};

class TestShell : public QObject {
    Q_OBJECT

private slots:
    void linksGoToTheInstalledShell() {
        auto recorder = std::make_shared<Recorder>();
        shell::setShell(recorder);
        shell::openLink("mailto:a@b.test?Subject=x&Body=");
        QCOMPARE(recorder->links, QStringList{"mailto:a@b.test?Subject=x&Body="});
        shell::setShell(nullptr);
        QVERIFY(dynamic_cast<shell::DesktopShell*>(&shell::shell()));
        QCOMPARE(shell::DesktopShell::program(), QString("xdg-open"));
    }

    // An opener of the test's own, first on the PATH, records its arguments.
    void theOpenerGetsTheLinkAsItsOneArgument() {
        QTemporaryDir dir;
        const QString out = dir.path() + "/args.txt";
        QFile script(dir.path() + "/xdg-open");
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(
            QString("#!/bin/sh\n{ echo \"$#\"; printf '%s' \"$1\"; } > '%1.part' && mv '%1.part' '%1'\n")
                .arg(out)
                .toUtf8());
        script.close();
        QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(dir.path()) + ":" + oldPath);
        const QString link =
            "mailto:x@y.test?Subject=a b; touch '" + dir.path() + "/pwned' $(id) `id` | cat &Body=";
        shell::DesktopShell().open(link);
        qputenv("PATH", oldPath);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(out), 10000);
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(f.readAll()), "1\n" + link);
        QVERIFY(!QFile::exists(dir.path() + "/pwned"));
    }
};

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
