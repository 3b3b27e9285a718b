#pragma once
// The import of employee records from another database.
#include "controls/form.h"

class TImportForm : public controls::Form {
    Q_OBJECT
public:
    explicit TImportForm(QWidget* parent = nullptr);
    ~TImportForm() override;
};

extern TImportForm* ImportForm;
