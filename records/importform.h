#pragma once
// The import of employee records from a table of another database into Staff: one batch
// move that appends new employees and updates those with the same record number, then a
// summary of what was stored and which rows were skipped and why.
#include "controls/form.h"
#include "data/batchmove.h"

class TImportForm : public controls::Form {
    Q_OBJECT
public:
    explicit TImportForm(QWidget* parent = nullptr);

    void Button1Click(); // "Import"

    data::BatchMove BatchMove1{QStringLiteral("BatchMove1")};

    // The summary box's text after a move (also for the tests).
    static QString summary(const data::BatchMove& move);
    // How long a move runs before its progress window shows (milliseconds).
    static void setProgressDelay(int ms);
    static int progressDelay();
};

inline constexpr controls::FormInstance<TImportForm> ImportForm{"ImportForm"};
