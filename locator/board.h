#pragma once
// The four locator boards (alphabetical, department, in office, out of office) are one design:
// a grid over a Staff table of their own on a silver panel, a navigator, a "&Previous" close
// button, and below the grid either the name search or the department filter. Captions,
// filters, columns and placement are in each board's stored layout; the little that differs
// in behaviour is the board's design record. The boards write nothing themselves: a grid edit
// is written by the grid when its row is left, with no history row.
#include "controls/form.h"

namespace data {
class Table;
}

class TLocatorBoard : public controls::Form {
    Q_OBJECT
public:
    // What the board does when shown.
    enum class Activation {
        None,    // the layout binds no activation handler
        Nothing, // the handler is bound and does nothing
        Refresh  // the table is made sure open and re-read, staying on its row
    };
    // What "Button1" below the grid does.
    enum class Lower {
        NameSearch,      // "&Search": nearest name in the board's rows
        DepartmentFilter // "Select Deptartment": the picked department's employees
    };
    struct Design {
        const char* layoutName;
        const char* tableName;
        Activation activation;
        Lower lower;
    };

    // The four designs, by window.
    static const Design Alphabetical;
    static const Design Department;
    static const Design InOffice;
    static const Design OutOfOffice;

    const Design& design() const { return design_; }
    data::Table& boardTable() const;

    // Handlers bound in the layouts.
    void FormActivate();
    void Button1Click();

protected:
    TLocatorBoard(const Design& design, QWidget* parent);

private:
    void searchByName();
    void selectDepartment();

    const Design& design_;
};
