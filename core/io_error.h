#pragma once
#include <string>

#include "core/errors.h"

namespace corvane {

// The program's I/O code for an errno met on the file system. fsPath is the name the call
// used: a missing file whose folder is missing too gives 3 instead of 2.
int IoCodeFromErrno(int err, const std::string& fsPath);

// The error to raise for that errno. Codes outside the program's table keep their own
// number in the "I/O エラー (%d)" form, even where it collides with a table code.
EInOutError IoErrorFromErrno(int err, const std::string& fsPath);

}  // namespace corvane
