#pragma once

#include <string>

#include "report_input.h"

namespace tavo::inspect {

// The whole report as one JSON object, names converted to UTF-8.
std::string jsonReport(const ReportInput& input);

// A file that could not be read:
// {"error": {"file": ..., "line": N or null, "message": ...}}.
std::string jsonErrorReport(const LoadError& error);

}  // namespace tavo::inspect
