#include "records/importform.h"

#include "controls/dialogs.h"
#include "data/table.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressDialog>

namespace {

int progressDelayMs = 700;

// Rows done so far in a small window, shown once the move has run for a moment; its
// Cancel stops the move, which is then rolled back whole.
class ImportProgress : public data::BatchMoveProgress {
public:
    explicit ImportProgress(QWidget* owner) : owner_(owner) { clock_.start(); }
    ~ImportProgress() override { delete dialog_; }

    bool rowsDone(qint64 rows) override {
        if (!dialog_) {
            if (clock_.elapsed() < progressDelayMs) return true;
            dialog_ = new QProgressDialog(owner_);
            dialog_->setObjectName(QStringLiteral("ImportProgress"));
            dialog_->setWindowTitle(QStringLiteral("Employee Import"));
            dialog_->setCancelButtonText(QStringLiteral("Cancel"));
            dialog_->setRange(0, 0);
            dialog_->setMinimumDuration(0);
            dialog_->setWindowModality(Qt::ApplicationModal);
            dialog_->setAutoReset(false);
            dialog_->setAutoClose(false);
            dialog_->show();
        }
        dialog_->setLabelText(QStringLiteral("Importing employee records: %L1 rows done").arg(rows));
        QApplication::processEvents();
        return !dialog_->wasCanceled();
    }

private:
    QWidget* owner_;
    QElapsedTimer clock_;
    QPointer<QProgressDialog> dialog_;
};

// Staff's fields as the profile window names them to the user.
QString fieldWords(const QString& field) {
    static const QHash<QString, QString> words = {
        {"Employee_No", "record number"}, {"Name", "name"},
        {"Emp_Num", "employee number"},   {"Password", "password"},
        {"EMail", "e-mail address"},      {"Social_Security", "social security number"},
        {"DOB", "date of birth"},
    };
    for (auto it = words.begin(); it != words.end(); ++it)
        if (it.key().compare(field, Qt::CaseInsensitive) == 0) return it.value();
    return QStringLiteral("field %1").arg(field);
}

QString valueText(const QVariant& v) {
    QString s = v.toString();
    if (s.size() > 30) s = s.left(30) + QStringLiteral("...");
    return s;
}

QString reason(const data::BatchMoveProblem& p) {
    using Kind = data::BatchMoveProblem::Kind;
    switch (p.kind) {
    case Kind::KeyViolation: {
        QStringList names;
        for (const QString& f : p.fields)
            names << fieldWords(f);
        return QStringLiteral("another employee already has this %1")
            .arg(names.join(QStringLiteral(" and ")));
    }
    case Kind::Conversion: {
        const QString field = p.fields.value(0);
        const QString what = field.compare("DOB", Qt::CaseInsensitive) == 0 ? QStringLiteral("a date")
                             : field.compare("Employee_No", Qt::CaseInsensitive) == 0
                                 ? QStringLiteral("a whole number")
                                 : QStringLiteral("a number");
        return QStringLiteral("the %1 \"%2\" is not %3").arg(fieldWords(field), valueText(p.value), what);
    }
    case Kind::Engine:
        break;
    }
    return QStringLiteral("the database refused it (%1)").arg(p.message);
}

} // namespace

TImportForm::TImportForm(QWidget* parent) : controls::Form(QStringLiteral("ImportForm"), parent) {
    FORM_HANDLER(Button1Click);
    load();
    BatchMove1.SetSource(&table(QStringLiteral("SourceTable")));
    BatchMove1.SetDestination(&table(QStringLiteral("Table1")));
    BatchMove1.SetMode(data::BatchMode::AppendUpdate);
}

void TImportForm::setProgressDelay(int ms) { progressDelayMs = ms; }
int TImportForm::progressDelay() { return progressDelayMs; }

QString TImportForm::summary(const data::BatchMove& move) {
    if (move.Cancelled())
        return QStringLiteral("The import was cancelled. No employee records were imported.");
    QStringList lines;
    lines << QStringLiteral("Import finished.") << QString();
    lines << QStringLiteral("Employees added: %1").arg(move.AppendedCount());
    lines << QStringLiteral("Employees updated: %1").arg(move.UpdatedCount());
    lines << QStringLiteral("Rows skipped: %1").arg(move.ProblemCount());
    const int shown = 5;
    if (move.ProblemCount() > 0) {
        lines << QString() << QStringLiteral("Skipped rows:");
        const auto& problems = move.Problems();
        for (int i = 0; i < problems.size() && i < shown; ++i) {
            const auto& p = problems[i];
            const QString name = p.values.value(1).toString();
            const QString who = name.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(name);
            lines << QStringLiteral("Row %1%2: %3.").arg(p.sourceRow).arg(who, reason(p));
        }
        if (move.ProblemCount() > shown)
            lines << QStringLiteral("... and %1 more.").arg(move.ProblemCount() - shown);
    }
    return lines.join(u'\n');
}

void TImportForm::Button1Click() {
    using namespace controls;
    if (MessageDlg(QStringLiteral("Import Employee Records from the Source Database?"),
                   MsgDlgType::Confirmation, MsgButtons::YesNoCancel) != ModalResult::Yes)
        return;
    data::Table& source = table(QStringLiteral("SourceTable"));
    data::Table& staff = table(QStringLiteral("Table1"));
    source.Close();
    source.SetDatabaseName(child<QLineEdit>(QStringLiteral("Edit1"))->text());
    source.SetTableName(child<QLineEdit>(QStringLiteral("Edit2"))->text());
    // Whatever the move did, the window's table shows Staff from its first row again and
    // the source is free for the next import.
    auto after = [&] {
        source.Close();
        staff.First();
    };
    try {
        ImportProgress progress(this);
        BatchMove1.Execute(&progress);
    } catch (...) {
        try {
            after();
        } catch (const data::Exception&) {
            // the move's own error is the one to report
        }
        throw;
    }
    after();
    MessageDlg(summary(BatchMove1), MsgDlgType::Information, MsgButtons::OK);
}
