#pragma once
// The check-in window: marks one employee as back in the office and appends a history row
// to Staff_Log for every saved change. Its four click handlers are its whole behaviour; the
// name picker and the navigator act on its Staff table by themselves.
#include "controls/form.h"

class TForm12 : public controls::Form {
    Q_OBJECT
public:
    explicit TForm12(QWidget* parent = nullptr);

    void BitBttn4Click(); // "Check &In"
    void Button5Click();  // "&Save"
    void Button1Click();  // "&Destinations"
    void Button3Click();  // "Main Menu"
};

inline constexpr controls::FormInstance<TForm12> Form12{"Form12"};
