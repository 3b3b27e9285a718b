#include "controls/dialogs.h"
#include <QApplication>
#include <QCloseEvent>
#include <QMessageBox>
#include <QPushButton>

namespace controls {

namespace {

// A message box that tells a press of one of its buttons from a close by the frame.
class MessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;
    bool closedByFrame = false;

protected:
    void closeEvent(QCloseEvent* e) override {
        closedByFrame = true;
        QMessageBox::closeEvent(e);
    }
};

QMessageBox::Icon iconOf(MsgDlgType type) {
    switch (type) {
    case MsgDlgType::Confirmation:
        return QMessageBox::Question;
    case MsgDlgType::Information:
        return QMessageBox::Information;
    case MsgDlgType::Warning:
        return QMessageBox::Warning;
    case MsgDlgType::Error:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

class DefaultPrompter : public Prompter {
public:
    ModalResult ask(const QString& text, MsgDlgType type, MsgButtons buttons,
                    const QString& caption) override {
        QWidget* parent = QApplication::activeModalWidget();
        if (!parent) parent = QApplication::activeWindow();
        MessageBox box(parent);
        box.setIcon(iconOf(type));
        box.setWindowTitle(caption.isEmpty() ? defaultCaption(type) : caption);
        box.setText(text);
        box.setTextFormat(Qt::PlainText);

        // The first button is the default one; Esc presses the last ("No" or "Cancel", or
        // "OK" when it is alone).
        QList<QMessageBox::StandardButton> list;
        switch (buttons) {
        case MsgButtons::YesNo:
            list = {QMessageBox::Yes, QMessageBox::No};
            break;
        case MsgButtons::YesNoCancel:
            list = {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
            break;
        case MsgButtons::OK:
            list = {QMessageBox::Ok};
            break;
        case MsgButtons::OKCancel:
            list = {QMessageBox::Ok, QMessageBox::Cancel};
            break;
        }
        QMessageBox::StandardButtons set;
        for (auto b : list)
            set |= b;
        box.setStandardButtons(set);
        box.setDefaultButton(list.front());
        box.setEscapeButton(list.back());

        box.exec();
        // The window the box was over takes the keyboard again, as it does on the desktop
        // (without this, some window managers leave it inactive and later keys go nowhere).
        if (QWidget* owner = box.parentWidget(); owner && owner->isVisible()) owner->activateWindow();
        if (box.closedByFrame && box.clickedButton() == box.button(list.back()))
            return buttons == MsgButtons::YesNo ? ModalResult::No : ModalResult::Cancel;
        switch (box.standardButton(box.clickedButton())) {
        case QMessageBox::Yes:
            return ModalResult::Yes;
        case QMessageBox::No:
            return ModalResult::No;
        case QMessageBox::Ok:
            return ModalResult::OK;
        default:
            break;
        }
        return buttons == MsgButtons::YesNo ? ModalResult::No : ModalResult::Cancel;
    }
};

std::shared_ptr<Prompter>& current() {
    static std::shared_ptr<Prompter> p;
    return p;
}

} // namespace

Prompter& prompter() {
    auto& p = current();
    if (!p) p = std::make_shared<DefaultPrompter>();
    return *p;
}

void setPrompter(std::shared_ptr<Prompter> p) { current() = std::move(p); }

ModalResult MessageDlg(const QString& text, MsgDlgType type, MsgButtons buttons) {
    return prompter().ask(text, type, buttons);
}

QString defaultCaption(MsgDlgType type) {
    switch (type) {
    case MsgDlgType::Confirmation:
        return QStringLiteral("Confirm");
    case MsgDlgType::Information:
        return QStringLiteral("Information");
    case MsgDlgType::Warning:
        return QStringLiteral("Warning");
    case MsgDlgType::Error:
        return QStringLiteral("Error");
    }
    return {};
}

} // namespace controls
