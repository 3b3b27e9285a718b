#pragma once
// Taking a telephone message: a new Mess row for the employee named in the picker, stored
// after a question, and a "mailto:" link with its summary handed to the mail program.
#include "controls/form.h"

class TAddMsgForm : public controls::Form {
    Q_OBJECT
public:
    explicit TAddMsgForm(QWidget* parent = nullptr);

    void FormActivate();  // each showing starts with no message
    void BitBtn3Click();  // "Find Employee / Add Message"
    void Button4Click();  // "&Save"
    void Button3Click();  // "&Email Message"
    void Button1Click();  // "Cancel Message"
    void Button33Click(); // "M&edia List"
    void Button2Click();  // "Message &Types"
};

inline constexpr controls::FormInstance<TAddMsgForm> AddMsgForm{"AddMsgForm"};
