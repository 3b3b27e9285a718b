#pragma once
// The batch move: copies the rows of a source table into a destination table in one
// transaction, appending them or updating the destination's rows with the same primary key.
//
// The source is named by a database name and a table name, both used exactly as given: the
// name of an alias of the engine's configuration (aliases.ini) or, when no alias has that
// name, a data source name of the system's ODBC configuration (unixODBC's odbc.ini). The
// source is read as a stream, a row at a time. Columns pair by position: the first source
// column with the destination's first column, and so on; source columns beyond the
// destination's are not read, destination columns beyond the source's are left empty on
// append and untouched on update. Values are converted to the destination's types and cut
// to its text widths. A row that cannot be stored (a unique index clash, a value that cannot
// be converted) is skipped, the others are moved; any other failure rolls the whole move back.
#include "errors.h"
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVector>

namespace data {

class Table;

enum class BatchMode {
    Append,       // every source row is appended
    Update,       // source rows update the destination rows with their key; others are not moved
    AppendUpdate, // update by key, append the rest
};

// A source row that was not stored.
struct BatchMoveProblem {
    enum class Kind {
        KeyViolation, // another destination row has the same values in a unique index
        Conversion,   // a value does not convert to the destination column's type
        Engine,       // the engine refused the row for another reason
    };
    Kind kind = Kind::Engine;
    qint64 sourceRow = 0; // 1 for the source's first row
    QVariantList values;  // the source row as read (paired columns only)
    QStringList fields;   // destination columns: the clashing index's, or the one not converted
    QVariant value;       // Conversion: the source value
    QString message;      // Engine: the engine's text
};

// Told of the move's progress every few rows; answering false cancels the move, which is
// then rolled back whole.
class BatchMoveProgress {
public:
    virtual ~BatchMoveProgress() = default;
    virtual bool rowsDone(qint64 rows) = 0;
};

class BatchMove {
public:
    explicit BatchMove(QString name = {}) : name_(std::move(name)) {}

    const QString& name() const { return name_; }
    BatchMode Mode() const { return mode_; }
    void SetMode(BatchMode m) { mode_ = m; }
    // The source: a table object whose database name and table name name it. It stays
    // closed: the move reads the source through a connection of its own.
    void SetSource(Table* source) { source_ = source; }
    Table* Source() const { return source_; }
    // The destination: an alias's table, written through its alias's database.
    void SetDestination(Table* destination) { destination_ = destination; }
    Table* Destination() const { return destination_; }
    // How many skipped rows are kept in Problems() (all are counted).
    void SetProblemLimit(int n) { problemLimit_ = n; }
    // How many rows pass between two calls of the progress.
    void SetProgressInterval(int rows) { progressInterval_ = rows > 0 ? rows : 1; }

    // Runs the move. A source that cannot be opened or read, or a destination that cannot
    // be written, raises EngineError; the destination is then as it was before the move.
    void Execute(BatchMoveProgress* progress = nullptr);

    // What the last Execute did.
    qint64 MovedCount() const { return appended_ + updated_; }
    qint64 AppendedCount() const { return appended_; }
    qint64 UpdatedCount() const { return updated_; }
    qint64 ProblemCount() const { return skipped_; }
    qint64 ReadCount() const { return read_; }
    bool Cancelled() const { return cancelled_; }
    const QVector<BatchMoveProblem>& Problems() const { return problems_; }

private:
    QString name_;
    BatchMode mode_ = BatchMode::AppendUpdate;
    Table* source_ = nullptr;
    Table* destination_ = nullptr;
    int problemLimit_ = 20;
    int progressInterval_ = 500;
    qint64 appended_ = 0, updated_ = 0, skipped_ = 0, read_ = 0;
    bool cancelled_ = false;
    QVector<BatchMoveProblem> problems_;
};

} // namespace data
