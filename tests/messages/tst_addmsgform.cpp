// Taking a message: the window's stored layout, a message taken and stored, the question of
// "&Save", a message pending when a new one is started or the window shown again, "Cancel
// Message", the texts cut to their fields' widths, and the mail link it hands the shell.
#include "messagetest.h"
#include "controls/plaincontrols.h"
#include <QGroupBox>
#include <QLabel>
#include <QScreen>
#include <QtTest>

using namespace messagetest;

class TestAddMsgForm : public QObject, public PadTest {
    Q_OBJECT

    void showForm() { QVERIFY(showActive(*form)); }
    QString focusName() {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }
    // The picker's line edit has the focus, not the combo itself.
    bool pickerHasFocus() {
        return picker()->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == picker();
    }

    // Fills every box of a started message as a user does.
    void fillMessage() {
        typeInto(box("EditDate"), "031126");
        typeInto(box("EditTime"), "1405");
        typeInto(box("EditFrom"), "John Smith");
        typeInto(box("EditCompany"), "Acme Ltd");
        typeInto(box("EditPhone"), "5551234567");
        typeInto(box("EditExt"), "12");
        QVERIFY(pickFromList(combo("DBLookupCombo3"), "Telephone"));
        typeInto(box("EditMessageTakenBy"), "JD");
        QVERIFY(pickFromList(combo("DBLookupCombo2"), "Please Call"));
        typeInto(form->child<DBMemo>("DBMemo1"), "About the invoice");
    }

private slots:
    void initTestCase() { layouts::ensureLoaded(); }
    void init() {
        openDesk();
        createWindows();
    }
    void cleanup() {
        QVERIFY(closeDesk());
        QVERIFY(!AddMsgForm);
    }

    void storedLayout() {
        QCOMPARE(AddMsgForm, form.get());
        QCOMPARE(form->windowTitle(), QString("Add Telephone Messages"));
        for (const char* t : {"Table1", "Table2", "Table3", "Table4", "Table5"})
            QVERIFY2(form->table(t).Active(), t);
        showForm();
        const QRect screen = form->screen()->availableGeometry();
        const QPoint off = form->frameGeometry().center() - screen.center();
        QVERIFY(qAbs(off.x()) <= 1 && qAbs(off.y()) <= 1);
        // Shown: no message, the keyboard on the picker.
        QVERIFY(!form->table("Table1").Active());
        QVERIFY(!mess().Active());
        QVERIFY(pickerHasFocus());

        QVERIFY(box("DBEdit1")->ReadOnly());
        QCOMPARE(box("EditDate")->maxChars(), 8);
        QCOMPARE(box("EditTime")->maxChars(), 5);
        QCOMPARE(box("EditPhone")->maxChars(), 13);
        // The status box lies beyond the right edge; the two address boxes are hidden.
        QVERIFY(box("DBEdit3")->geometry().left() >= form->content()->width());
        QCOMPARE(box("DBEdit3")->dataField(), QString("Status"));
        QVERIFY(!box("DBEdit2")->isVisible());
        QCOMPARE(box("DBEdit2")->dataSource(), &form->dataSource("DataSource1"));
        QCOMPARE(box("DBEdit2")->dataField(), QString("EMail"));
        auto* edit2 = form->child<QLineEdit>("Edit2");
        QVERIFY(!edit2->isVisible());
        QVERIFY(edit2->isReadOnly());
        QVERIFY(edit2->text().isEmpty());
        QCOMPARE(picker()->dataField(), QString());
        QCOMPARE(QStringList({picker()->itemText(0), picker()->itemText(1)}),
                 (QStringList{"Abbott, Helen", "Baker, Tom"}));

        // The "Actions" group, top to bottom.
        auto* actions = form->child<QGroupBox>("GroupBox2");
        QCOMPARE(actions->title(), QString("Actions"));
        QVERIFY(actions->font().bold());
        QStringList captions;
        int lastTop = -1;
        for (const char* b : {"Button2", "Button5", "Button1", "Button3", "Button4", "BitBtn4"}) {
            auto* button = form->child<QPushButton>(b);
            QVERIFY(actions->isAncestorOf(button));
            QVERIFY(button->geometry().top() > lastTop);
            lastTop = button->geometry().top();
            captions << button->text();
        }
        QCOMPARE(captions, (QStringList{"M&edia List", "Message &Types", "Cancel Message", "&Email Message",
                                        "&Save", "&Main Menu"}));
        QVERIFY(form->child<controls::BitBtn>("BitBtn4")->isCloseKind());
        auto* find = form->child<QPushButton>("BitBtn3");
        QCOMPARE(find->text(), QString("Find Employee / Add Message"));
        QVERIFY(find->font().bold());
        QCOMPARE(form->child<QGroupBox>("GroupBox1")->title(), QString("Employee Last Name"));
        QVERIFY(form->child<QGroupBox>("GroupBox1")->isAncestorOf(picker()));
    }

    void hints_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("hint");
        QTest::newRow("date") << "EditDate"
                              << "This is the date the message was taken...";
        QTest::newRow("time") << "EditTime"
                              << "Enter the time the message was taken... Enter in military time format.";
        QTest::newRow("from") << "EditFrom"
                              << "The call is from...";
        QTest::newRow("company") << "EditCompany"
                                 << "The caller is from this company...";
        QTest::newRow("phone") << "EditPhone"
                               << "The caller's telephone number is...";
        QTest::newRow("ext") << "EditExt"
                             << "The caller's telephone extention is...";
        QTest::newRow("media") << "DBLookupCombo3"
                               << "The media the call came in...";
        QTest::newRow("taken by") << "EditMessageTakenBy"
                                  << "The message was taken by...";
        QTest::newRow("message type") << "DBLookupCombo2"
                                      << "The actions the caller requested are...";
        QTest::newRow("memo") << "DBMemo1"
                              << "The complete message left is...";
        QTest::newRow("find") << "BitBtn3"
                              << "Click this button to add new telephone message...";
    }
    void hints() {
        QFETCH(QString, control);
        QFETCH(QString, hint);
        QCOMPARE(form->child<QWidget>(control)->toolTip(), hint);
    }

    void labels() {
        QStringList texts;
        for (int i = 1; i <= 11; ++i)
            texts << form->child<QLabel>(QString("Label%1").arg(i))->text();
        QCOMPARE(texts, (QStringList{"To: Last, First", "Date:", "Time:", "From:", "Company", "Phone:",
                                     "Ext:", "Media:", "Taken By:", "Message Type:", "Message Given"}));
        QCOMPARE(form->child<QLabel>("Label1")->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    }

    // Tab runs time, from, company, phone, extension, media, taken by, message type, message,
    // "&Email Message", the picker, the status box, and round to the time box.
    void tabOrder() {
        showForm();
        const QStringList order{"EditTime", "EditFrom",       "EditCompany",        "EditPhone",
                                "EditExt",  "DBLookupCombo3", "EditMessageTakenBy", "DBLookupCombo2",
                                "DBMemo1",  "Button3",        "DBLookupCombo1",     "DBEdit3",
                                "EditTime"};
        auto owner = [&](QWidget* w) -> QString {
            for (; w && w != form.get(); w = w->parentWidget())
                if (order.contains(w->objectName())) return w->objectName();
            return w ? QString("(none)") : QString();
        };
        box("EditTime")->setFocus(Qt::TabFocusReason);
        QStringList walked{owner(QApplication::focusWidget())};
        for (int i = 1; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            walked << owner(QApplication::focusWidget());
        }
        QCOMPARE(walked, order);
        for (const char* w :
             {"DBEdit1", "EditDate", "BitBtn3", "Button2", "Button5", "Button1", "Button4", "BitBtn4"})
            QVERIFY2(!(form->child<QWidget>(w)->focusPolicy() & Qt::TabFocus), w);
    }

    void takeAMessageEndToEnd() {
        showForm();
        startFor("Abbott, Helen");
        QCOMPARE(mess().State(), DataSetState::Insert);
        QCOMPARE(focusName(), QString("EditDate"));
        QCOMPARE(box("DBEdit1")->text(), QString("Abbott, Helen"));
        QCOMPARE(box("DBEdit3")->text(), QString("Active"));
        QCOMPARE(address(), QString("helen@corvane.test"));
        // No date or time is filled in.
        QCOMPARE(box("EditDate")->text(), QString("  /  /  "));
        fillMessage();
        QCOMPARE(desk->messageCount(), 0);
        save(ModalResult::Yes);
        QCOMPARE(mess().State(), DataSetState::Browse);
        QVERIFY(picker()->text().isEmpty());
        QVERIFY(form->isVisible());
        const auto rows = desk->messages();
        QCOMPARE(rows.size(), 1);
        const QVariantMap& m = rows[0];
        QVERIFY(m.value("Mess_No").toInt() > 0);
        QCOMPARE(m.value("To").toString(), QString("Abbott, Helen"));
        QCOMPARE(m.value("Date").toString(), QString("03/11/26"));
        QCOMPARE(m.value("Time").toString(), QString("14:05"));
        QCOMPARE(m.value("From").toString(), QString("John Smith"));
        QCOMPARE(m.value("Company").toString(), QString("Acme Ltd"));
        QCOMPARE(m.value("Phone").toString(), QString("(555)123-4567"));
        QCOMPARE(m.value("Ext").toString(), QString("12"));
        QCOMPARE(m.value("Media").toString(), QString("Telephone"));
        QCOMPARE(m.value("Message Type").toString(), QString("Please Call"));
        QCOMPARE(m.value("Message Given").toString(), QString("About the invoice"));
        QCOMPARE(m.value("Message Taken By").toString(), QString("JD"));
        QCOMPARE(m.value("Status").toString(), QString("Active"));
        QVERIFY(m.value("Comments").isNull());
        QVERIFY(m.value("Response").isNull());
        // The boxes keep showing the stored message.
        QCOMPARE(box("EditFrom")->text(), QString("John Smith"));
    }

    void saveWithNothingPendingAsksNothing_data() {
        QTest::addColumn<QString>("before");
        QTest::newRow("just shown") << "shown";
        QTest::newRow("after Cancel Message") << "cancel";
        QTest::newRow("right after a save") << "saved";
    }
    void saveWithNothingPendingAsksNothing() {
        QFETCH(QString, before);
        showForm();
        if (before == "cancel") {
            startFor("Baker, Tom");
            cancelMessage();
        } else if (before == "saved") {
            startFor("Baker, Tom");
            save(ModalResult::Yes);
        }
        const int count = desk->messageCount();
        click(form->child<QWidget>("Button4"));
        QVERIFY(desk->prompter().verifyAllAnswered());
        QCOMPARE(desk->messageCount(), count);
        QVERIFY(form->isVisible());
    }

    void saveNoOrCancelKeepsTheMessagePending_data() {
        QTest::addColumn<ModalResult>("answer");
        QTest::newRow("No") << ModalResult::No;
        QTest::newRow("Cancel") << ModalResult::Cancel;
    }
    void saveNoOrCancelKeepsTheMessagePending() {
        QFETCH(ModalResult, answer);
        showForm();
        startFor("Baker, Tom");
        typeInto(box("EditFrom"), "Jane Roe");
        save(answer);
        QCOMPARE(mess().State(), DataSetState::Insert);
        QCOMPARE(desk->messageCount(), 0);
        QCOMPARE(box("EditFrom")->text(), QString("Jane Roe"));
        QCOMPARE(picker()->text(), QString("Baker, Tom"));
        save(ModalResult::Yes);
        QCOMPARE(desk->messageCount(), 1);
        QCOMPARE(desk->messages()[0].value("From").toString(), QString("Jane Roe"));
        QCOMPARE(desk->messages()[0].value("To").toString(), QString("Baker, Tom"));
    }

    // Starting a message while one is pending stores that one as it stands, without a
    // question: only what was typed, To and Status; the untouched phone stays empty.
    void findAddStoresThePendingMessageAsItStands() {
        showForm();
        startFor("Abbott, Helen");
        typeInto(box("EditFrom"), "First Caller");
        startFor("Baker, Tom");
        QCOMPARE(mess().State(), DataSetState::Insert);
        QCOMPARE(box("DBEdit1")->text(), QString("Baker, Tom"));
        QCOMPARE(address(), QString("tom.baker@corvane.test"));
        QVERIFY(box("EditFrom")->text().isEmpty());
        const auto rows = desk->messages();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].value("To").toString(), QString("Abbott, Helen"));
        QCOMPARE(rows[0].value("From").toString(), QString("First Caller"));
        QCOMPARE(rows[0].value("Status").toString(), QString("Active"));
        for (const char* empty : {"Phone", "Company", "Media", "Message Type", "Date", "Time"})
            QVERIFY2(rows[0].value(empty).isNull(), empty);
        save(ModalResult::Yes);
        QCOMPARE(desk->messageCount(), 2);
        QCOMPARE(desk->messages()[1].value("To").toString(), QString("Baker, Tom"));
        // after "&Save" the untouched phone box gives its literals
        QCOMPARE(desk->messages()[1].value("Phone").toString(), QString("(   )   -    "));
    }

    void pickerTextBecomesTo_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("empty") << "";
        QTest::newRow("no employee's name") << "Nobody, Such";
    }
    void pickerTextBecomesTo() {
        QFETCH(QString, typed);
        showForm();
        startFor("Abbott, Helen"); // an address from an earlier message
        cancelMessage();
        typePicker(typed);
        findAdd();
        QCOMPARE(mess().State(), DataSetState::Insert);
        QCOMPARE(box("DBEdit1")->text(), typed);
        // no employee of that name: no address
        QVERIFY(address().isEmpty());
        typeInto(box("EditFrom"), "Walk-in");
        save(ModalResult::Yes);
        const auto rows = desk->messages();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].value("To").toString(), typed);
        QCOMPARE(rows[0].value("To").isNull(), typed.isEmpty());
        QCOMPARE(rows[0].value("Status").toString(), QString("Active"));
    }

    void aMessageLeftPendingIsGoneAtTheNextShowing() {
        showForm();
        startFor("Abbott, Helen");
        typeInto(box("EditFrom"), "Left Behind");
        click(form->child<QWidget>("BitBtn4"));
        QVERIFY(!form->isVisible());
        QCOMPARE(mess().State(), DataSetState::Insert); // pending while hidden
        showForm();
        QVERIFY(!mess().Active());
        QVERIFY(!form->table("Table1").Active());
        QVERIFY(box("EditFrom")->text().isEmpty());
        QCOMPARE(desk->messageCount(), 0);
        QVERIFY(pickerHasFocus());
    }

    void typingAfterASaveChangesThatMessage() {
        showForm();
        startFor("Abbott, Helen");
        typeInto(box("EditFrom"), "John");
        save(ModalResult::Yes);
        const int number = desk->messages()[0].value("Mess_No").toInt();
        box("EditFrom")->setFocus(Qt::MouseFocusReason);
        box("EditFrom")->end(false);
        QTest::keyClicks(box("EditFrom"), " Smith");
        QCOMPARE(mess().State(), DataSetState::Edit);
        save(ModalResult::Yes);
        const auto rows = desk->messages();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].value("Mess_No").toInt(), number);
        QCOMPARE(rows[0].value("From").toString(), QString("John Smith"));
        QCOMPARE(rows[0].value("To").toString(), QString("Abbott, Helen"));
    }

    void cancelMessageDropsItWithoutAQuestion() {
        showForm();
        startFor("Abbott, Helen");
        typeInto(box("EditFrom"), "Never Stored");
        cancelMessage();
        QVERIFY(!mess().Active());
        QVERIFY(!form->table("Table1").Active());
        QCOMPARE(desk->messageCount(), 0);
        QVERIFY(pickerHasFocus());
        QCOMPARE(picker()->text(), QString("Abbott, Helen"));
        QCOMPARE(address(), QString("helen@corvane.test"));
        QVERIFY(box("EditFrom")->text().isEmpty());
    }

    void textsAreCutToTheirFieldsWidths_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("stored");
        QTest::newRow("a 20-character medium keeps 16") << "Media"
                                                        << "Courier Motorbike 20"
                                                        << "Courier Motorbik";
        QTest::newRow("a 30-character message type keeps 25") << "Message Type"
                                                              << "Please Call Back Before Noon!"
                                                                 "!"
                                                              << "Please Call Back Before N";
        QTest::newRow("a full phone number: 13 characters") << "Phone"
                                                            << "5551234567"
                                                            << "(555)123-4567";
        QTest::newRow("an untouched phone box") << "Phone"
                                                << ""
                                                << "(   )   -    ";
    }
    void textsAreCutToTheirFieldsWidths() {
        QFETCH(QString, field);
        QFETCH(QString, given);
        QFETCH(QString, stored);
        // The list entries exist before the windows read their lists.
        closeDesk();
        openDesk();
        if (field == "Media") {
            QCOMPARE(given.size(), 20);
            desk->db().insert("Media", {{"Media_Type", given}});
        } else if (field == "Message Type") {
            QCOMPARE(given.size(), 30);
            desk->db().insert("Msgtype", {{"Message Type", given}});
        }
        createWindows();
        showForm();
        startFor("Abbott, Helen");
        if (field == "Media")
            QVERIFY(pickFromList(combo("DBLookupCombo3"), given));
        else if (field == "Message Type")
            QVERIFY(pickFromList(combo("DBLookupCombo2"), given));
        else if (!given.isEmpty())
            typeInto(box("EditPhone"), given);
        save(ModalResult::Yes);
        QCOMPARE(desk->messages().value(0).value(field).toString(), stored);
        // The list keeps the whole entry.
        if (field == "Media")
            QCOMPARE(desk->db().scalar("SELECT COUNT(*) FROM Media WHERE Media_Type = ?", {given}).toInt(),
                     1);
    }

    void mediaAndTypeButtonsShowTheListsAndKeepTheMessage_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("window");
        QTest::newRow("media") << "Button2"
                               << "MediaForm";
        QTest::newRow("message types") << "Button5"
                                       << "MsgTypeForm";
    }
    void mediaAndTypeButtonsShowTheListsAndKeepTheMessage() {
        QFETCH(QString, button);
        QFETCH(QString, window);
        showForm();
        startFor("Abbott, Helen");
        typeInto(box("EditFrom"), "Still Here");
        desk->shower().clear();
        click(form->child<QWidget>(button));
        QCOMPARE(desk->shower().shown(), QStringList{window});
        desk->shower().lastShown()->Close();
        QCOMPARE(mess().State(), DataSetState::Insert);
        QCOMPARE(box("EditFrom")->text(), QString("Still Here"));
    }

    // ---- the mail link ----

    void emailHandsTheLinkToTheShell() {
        showForm();
        startFor("Abbott, Helen");
        typeInto(box("EditTime"), "0930");
        typeInto(box("EditFrom"), "Smith & Sons?");
        typeInto(box("EditCompany"), "A#1 100% Ltd");
        typeInto(box("EditPhone"), "5551234567");
        QVERIFY(pickFromList(combo("DBLookupCombo2"), "Please Call"));
        email(ModalResult::Yes);
        QCOMPARE(desk->links().size(), 1);
        QVERIFY(pickerHasFocus());
        const DecodedLink d = decodeLink(desk->links()[0]);
        QVERIFY(d.isMailto);
        QCOMPARE(d.address, QString("helen@corvane.test"));
        QCOMPARE(d.headers.size(), 2);
        QCOMPARE(d.headers[0].first, QString("Subject"));
        QCOMPARE(d.headers[0].second,
                 QString(" Message Received from: Smith & Sons?. Company: A#1 100% Ltd(555)123-4567."
                         " Message Marked:  Please Call. Time Of Call 09:30"));
        QCOMPARE(d.headers[1], (QPair<QString, QString>("Body", "")));
        // Mailing stores nothing and the message stays pending.
        QCOMPARE(desk->messageCount(), 0);
        QCOMPARE(mess().State(), DataSetState::Insert);
    }

    void emailBeforeAnyMessageGivesTheLiteralPiecesAlone() {
        showForm();
        email(ModalResult::Yes);
        QCOMPARE(desk->links().size(), 1);
        const DecodedLink d = decodeLink(desk->links()[0]);
        QVERIFY(d.address.isEmpty());
        QCOMPARE(d.headers.value(0).second, QString(" Message Received from: ."
                                                    " Company: ."
                                                    " Message Marked:  ."
                                                    " Time Of Call "));
        QCOMPARE(d.headers.value(1), (QPair<QString, QString>("Body", "")));
    }

    void emailAfterCancelUsesTheLastAddressWithEmptyTexts() {
        showForm();
        startFor("Baker, Tom");
        typeInto(box("EditFrom"), "Gone");
        cancelMessage();
        email(ModalResult::Yes);
        const DecodedLink d = decodeLink(desk->links().value(0));
        QCOMPARE(d.address, QString("tom.baker@corvane.test"));
        QCOMPARE(d.headers.value(0).second, QString(" Message Received from: ."
                                                    " Company: ."
                                                    " Message Marked:  ."
                                                    " Time Of Call "));
    }

    void emailNoOrCancelCallsNothing_data() { saveNoOrCancelKeepsTheMessagePending_data(); }
    void emailNoOrCancelCallsNothing() {
        QFETCH(ModalResult, answer);
        showForm();
        startFor("Abbott, Helen");
        typeInto(box("EditFrom"), "Someone");
        email(answer);
        QVERIFY(desk->links().isEmpty());
        QVERIFY(pickerHasFocus());
        QCOMPARE(mess().State(), DataSetState::Insert);
    }
};

QTEST_MAIN(TestAddMsgForm)
#include "tst_addmsgform.moc"
