#pragma once
// The report engine's error: a missing or malformed project, a field the connection lacks.
// It reaches the application's default error box like the data layer's errors.
#include "data/errors.h"

namespace reports {

class ReportError : public data::Exception {
public:
    using data::Exception::Exception;
    const char* kindName() const override { return "EReportError"; }
};

} // namespace reports
