#pragma once
#include <string>

#include "core/errors.h"

namespace corvane {

// The error to raise for an errno met on the file system. fsPath is the name the call used:
// a missing file whose folder is missing too gives code 3 instead of 2. Codes outside the program's
// table keep their own number in the "I/O エラー (%d)" form, even where it collides with a table
// code.
EInOutError IoErrorFromErrno(int err, const std::string& fsPath);

}  // namespace corvane
