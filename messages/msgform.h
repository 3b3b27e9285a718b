#pragma once
// The message reader: lists the messages of one employee picked by name, takes comments on
// them, deletes them, and prints the listed messages (every message before the first Find)
// through the message report.
#include "controls/form.h"
#include <memory>

namespace reports {
class DataConnection;
class Project;
} // namespace reports

class TMsgForm : public controls::Form {
    Q_OBJECT
public:
    explicit TMsgForm(QWidget* parent = nullptr);
    ~TMsgForm() override;

    void FormCreate();
    void Button22Click(); // "Find"
    void Button1Click();  // "Report"

    // The report components: the message report's project and the connection it reads
    // Table1 through.
    reports::Project& RvProject1() const { return *project_; }
    reports::DataConnection& RvDataSetConnection1() const { return *connection_; }

    // The filter text that lists the messages to `name`: To ='name', quotes doubled.
    static QString recipientFilter(const QString& name);

private:
    std::unique_ptr<reports::DataConnection> connection_;
    std::unique_ptr<reports::Project> project_;
};

inline constexpr controls::FormInstance<TMsgForm> MsgForm{"MsgForm"};
