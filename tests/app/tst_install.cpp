// The install rules: both programs in bin, the desktop entry and its icon.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class TestInstall : public QObject {
    Q_OBJECT

private slots:
    void installPutsProgramsEntryAndIcon() {
        QTemporaryDir prefix;
        QVERIFY(prefix.isValid());
        QProcess install;
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(QStringLiteral(QUORVALE_CMAKE),
                      {"--install", QStringLiteral(QUORVALE_BUILD_DIR), "--prefix", prefix.path()});
        QVERIFY(install.waitForFinished(120000));
        QVERIFY2(install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0,
                 install.readAll().constData());

        const QDir root(prefix.path());
        for (const char* program : {"bin/quorvale", "bin/quorvale-admin"}) {
            const QFileInfo fi(root.filePath(program));
            QVERIFY2(fi.isFile() && fi.isExecutable(), program);
        }

        const QString entry = root.filePath("share/applications/quorvale.desktop");
        QVERIFY(QFileInfo::exists(entry));
        QSettings desktop(entry, QSettings::IniFormat);
        desktop.beginGroup("Desktop Entry");
        QCOMPARE(desktop.value("Type").toString(), QStringLiteral("Application"));
        QCOMPARE(desktop.value("Name").toString(), QStringLiteral("The Quorvale"));
        QCOMPARE(desktop.value("Exec").toString(), QStringLiteral("quorvale"));
        const QString icon = desktop.value("Icon").toString();
        QCOMPARE(icon, QStringLiteral("quorvale"));

        // The icon is found by its name among the pixmaps.
        const QImage image(root.filePath("share/pixmaps/" + icon + ".png"));
        QVERIFY(!image.isNull());
        QVERIFY(image.width() >= 86 && image.height() >= 97);
    }
};

QTEST_MAIN(TestInstall)
#include "tst_install.moc"
