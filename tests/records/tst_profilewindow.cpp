#include "profiletest.h"
#include <QtTest>
class TestProfileWindow : public QObject {
    Q_OBJECT
};
QTEST_MAIN(TestProfileWindow)
#include "tst_profilewindow.moc"
