// The default question box: real QMessageBoxes, answered by a zero timer inside their loop.
#include "controls/dialogs.h"
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using controls::ModalResult;
using controls::MsgButtons;
using controls::MsgDlgType;

Q_DECLARE_METATYPE(controls::ModalResult)
Q_DECLARE_METATYPE(controls::MsgButtons)
Q_DECLARE_METATYPE(controls::MsgDlgType)

namespace {

struct Seen {
    bool found = false;
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons; // in the order the box lays them out is platform business: sorted
    QString defaultButton;
};

// Answers the next box: "Yes"/"No"/"OK"/"Cancel" clicks that button, "Esc" presses Escape,
// "close" closes the box by its frame.
void answerNextBox(const QString& action, Seen& seen) {
    QTimer::singleShot(0, [action, &seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        seen.found = true;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton* b : box->buttons())
            seen.buttons << b->text().remove('&');
        seen.buttons.sort();
        if (box->defaultButton()) seen.defaultButton = box->defaultButton()->text().remove('&');
        if (action == "Esc") {
            QTest::keyClick(box, Qt::Key_Escape);
        } else if (action == "close") {
            box->close();
        } else {
            for (QAbstractButton* b : box->buttons())
                if (b->text().remove('&') == action) b->click();
        }
    });
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT
private slots:
    void init() { controls::setPrompter(nullptr); }

    void captions_data() {
        QTest::addColumn<MsgDlgType>("type");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("icon");
        QTest::newRow("confirmation") << MsgDlgType::Confirmation << "Confirm" << int(QMessageBox::Question);
        QTest::newRow("information") << MsgDlgType::Information << "Information"
                                     << int(QMessageBox::Information);
        QTest::newRow("warning") << MsgDlgType::Warning << "Warning" << int(QMessageBox::Warning);
        QTest::newRow("error") << MsgDlgType::Error << "Error" << int(QMessageBox::Critical);
    }
    void captions() {
        QFETCH(MsgDlgType, type);
        QFETCH(QString, caption);
        QFETCH(int, icon);
        QCOMPARE(controls::defaultCaption(type), caption);
        Seen seen;
        answerNextBox("OK", seen);
        QCOMPARE(controls::MessageDlg("Employee not found", type, MsgButtons::OK), ModalResult::OK);
        QVERIFY(seen.found);
        QCOMPARE(seen.title, caption);
        QCOMPARE(seen.text, QString("Employee not found"));
        QCOMPARE(int(seen.icon), icon);
    }

    void givenCaptionWins() {
        Seen seen;
        answerNextBox("OK", seen);
        controls::prompter().ask("Key violation.", MsgDlgType::Error, MsgButtons::OK, "The Quorvale");
        QCOMPARE(seen.title, QString("The Quorvale"));
        QCOMPARE(int(seen.icon), int(QMessageBox::Critical));
    }

    void answers_data() {
        QTest::addColumn<MsgButtons>("buttons");
        QTest::addColumn<QString>("action");
        QTest::addColumn<ModalResult>("answer");
        QTest::addColumn<QStringList>("shown");
        const QStringList yn{"No", "Yes"}, ync{"Cancel", "No", "Yes"}, ok{"OK"}, okc{"Cancel", "OK"};
        QTest::newRow("yes/no: Yes") << MsgButtons::YesNo << "Yes" << ModalResult::Yes << yn;
        QTest::newRow("yes/no: No") << MsgButtons::YesNo << "No" << ModalResult::No << yn;
        QTest::newRow("yes/no: Esc") << MsgButtons::YesNo << "Esc" << ModalResult::No << yn;
        QTest::newRow("yes/no: closed") << MsgButtons::YesNo << "close" << ModalResult::No << yn;
        QTest::newRow("yes/no/cancel: Yes") << MsgButtons::YesNoCancel << "Yes" << ModalResult::Yes << ync;
        QTest::newRow("yes/no/cancel: No") << MsgButtons::YesNoCancel << "No" << ModalResult::No << ync;
        QTest::newRow("yes/no/cancel: Cancel")
            << MsgButtons::YesNoCancel << "Cancel" << ModalResult::Cancel << ync;
        QTest::newRow("yes/no/cancel: Esc") << MsgButtons::YesNoCancel << "Esc" << ModalResult::Cancel << ync;
        QTest::newRow("yes/no/cancel: closed")
            << MsgButtons::YesNoCancel << "close" << ModalResult::Cancel << ync;
        QTest::newRow("ok: OK") << MsgButtons::OK << "OK" << ModalResult::OK << ok;
        QTest::newRow("ok: closed") << MsgButtons::OK << "close" << ModalResult::Cancel << ok;
        QTest::newRow("ok/cancel: OK") << MsgButtons::OKCancel << "OK" << ModalResult::OK << okc;
        QTest::newRow("ok/cancel: Cancel") << MsgButtons::OKCancel << "Cancel" << ModalResult::Cancel << okc;
        QTest::newRow("ok/cancel: closed") << MsgButtons::OKCancel << "close" << ModalResult::Cancel << okc;
    }
    void answers() {
        QFETCH(MsgButtons, buttons);
        QFETCH(QString, action);
        QFETCH(ModalResult, answer);
        QFETCH(QStringList, shown);
        Seen seen;
        answerNextBox(action, seen);
        QCOMPARE(
            controls::MessageDlg("Save changes and return to Main Menu?", MsgDlgType::Confirmation, buttons),
            answer);
        QVERIFY(seen.found);
        QCOMPARE(seen.buttons, shown);
        // The first button is the default one.
        QCOMPARE(seen.defaultButton, buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel
                                         ? QString("Yes")
                                         : QString("OK"));
    }

    void replacedPrompterTakesEveryQuestion() {
        struct Fixed : controls::Prompter {
            QString last;
            ModalResult ask(const QString& text, MsgDlgType, MsgButtons, const QString&) override {
                last = text;
                return ModalResult::Yes;
            }
        };
        auto fixed = std::make_shared<Fixed>();
        controls::setPrompter(fixed);
        QCOMPARE(
            controls::MessageDlg("Return to Main Menu?", MsgDlgType::Confirmation, MsgButtons::YesNoCancel),
            ModalResult::Yes);
        QCOMPARE(fixed->last, QString("Return to Main Menu?"));
        controls::setPrompter(nullptr);
        QVERIFY(&controls::prompter() != fixed.get());
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
