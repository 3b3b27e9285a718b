#pragma once
// Modal message dialogs. Every question the program asks and every error box goes through
// the one replaceable Prompter, so tests script the answers and check the exact texts.
#include <QString>
#include <memory>

class QWidget;

namespace controls {

enum class MsgDlgType { Confirmation, Information, Warning, Error };
enum class MsgButtons { YesNo, YesNoCancel, OK, OKCancel };
enum class ModalResult { None, Yes, No, Cancel, OK };

class Prompter {
public:
    virtual ~Prompter() = default;
    // caption empty: the platform caption of the type ("Confirm", "Information", "Warning",
    // "Error"). Closing the box without a button answers Cancel (No for [Yes, No]).
    virtual ModalResult ask(const QString& text, MsgDlgType type, MsgButtons buttons,
                            const QString& caption = {}) = 0;
};

// The dialog used by MessageDlg; the default shows QMessageBoxes.
Prompter& prompter();
void setPrompter(std::shared_ptr<Prompter> p); // nullptr: back to the default

// The system's question box: MessageDlg("Return to Main Menu?", Confirmation, YesNoCancel).
ModalResult MessageDlg(const QString& text, MsgDlgType type, MsgButtons buttons);

QString defaultCaption(MsgDlgType type);

} // namespace controls
