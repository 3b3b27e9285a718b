#pragma once
// The main window: the static title content and the menu from which every other window and
// every report is reached. It shows no data of its own; its five report queries open with it.
#include "controls/form.h"

namespace reports {
class Project;
class DataConnection;
} // namespace reports

class QCloseEvent;

class TMainForm : public controls::Form {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);

    // "File"
    void Setup1Click();
    void ImportContacts1Click();
    void PrintSetup1Click();
    void ExitClick();
    // "Staff Locator"
    void DestinationList1Click();
    void DepartmentList1Click();
    void LocatorBoard1Click();
    void EmployeeCheckIn1Click();
    void EmployeeCheckOut1Click();
    // "Staff Locator" > "Locator Board Reports": run by the board reports.
    void EmployeeView1Click();
    void DepartmentView1Click();
    void EmployeesIN1Click();
    void EmployeesOut1Click();
    void INOutHistory1Click();
    // The report components of the data file, by name (raises LayoutError when missing).
    reports::Project& project(const QString& name) const;
    reports::DataConnection& connection(const QString& name) const;

    // "Message Pad"
    void Media1Click();
    void MessageTypeListing1Click();
    void AddMessage1Click();
    void ReadMessages1Click();
    // "About"
    void About1Click();

protected:
    // The close box, the system menu and Alt+F4 end the program as "Exit" does.
    void closeEvent(QCloseEvent* e) override;
};

inline constexpr controls::FormInstance<TMainForm> MainForm{"MainForm"};
