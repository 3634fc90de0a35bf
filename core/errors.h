#pragma once
// The program's error kinds. Each carries the message the standard error report shows,
// as CP932 bytes, plus whatever extra data the kind has. Handlers never catch these:
// the one wrapper in the window's wiring does.

#include <stdexcept>
#include <string>

namespace corvane {

class CorvaneError : public std::runtime_error {
 public:
  explicit CorvaneError(const std::string& message)
      : std::runtime_error(message), message_(message) {}
  // The message bytes (CP932), exactly as built for the report.
  const std::string& Message() const { return message_; }

 private:
  std::string message_;
};

// The program's I/O codes: the numbers its error reports show for a failed file operation.
enum class IoCode : int {
  FileNotFound = 2,
  PathNotFound = 3,  // a folder on the way is missing
  TooManyOpenFiles = 4,
  AccessDenied = 5,       // also anything that is not a regular file, and a read-only medium
  SharingViolation = 32,  // another copy of the program holds the file
  ReadBeyondEnd = 100,
  DiskWriteError = 101,
  InvalidNumber = 106,
  DiskFull = 112,     // what a write that finds no room reports
  InvalidName = 123,  // a name no file can have here
};

// A failed file operation; Code() is the program's I/O code, or for an errno the table does
// not know, the errno itself.
class EInOutError : public CorvaneError {
 public:
  explicit EInOutError(IoCode code);
  EInOutError(int code, const std::string& message) : CorvaneError(message), code_(code) {}
  int Code() const { return code_; }

 private:
  int code_;
};

// "'%s' は整数ではありません"
class EConvertError : public CorvaneError {
 public:
  static EConvertError NotAnInteger(const std::string& text);
  using CorvaneError::CorvaneError;
};

// "リストのインデックスが範囲を超えています (%d)"
class EStringListError : public CorvaneError {
 public:
  static EStringListError IndexOutOfRange(long long index);
  using CorvaneError::CorvaneError;
};

// "ファイル %s は開けません"; "ファイル %s は大きすぎます (%d MB まで)"
class EFOpenError : public CorvaneError {
 public:
  static EFOpenError CannotOpen(const std::string& name);
  static EFOpenError TooLarge(const std::string& name, long long limitMiB);
  using CorvaneError::CorvaneError;
};

// "JPEG エラー #%d"
class EJPEG : public CorvaneError {
 public:
  explicit EJPEG(int messageCode);
  int MessageCode() const { return messageCode_; }

 private:
  int messageCode_;
};

// "行を挿入できません"
class EOutOfResources : public CorvaneError {
 public:
  EOutOfResources();
};

// "0 による浮動小数点数除算"
class EZeroDivide : public CorvaneError {
 public:
  EZeroDivide();
};

// "不正な浮動小数点数演算命令"
class EInvalidOp : public CorvaneError {
 public:
  EInvalidOp();
};

// Raised at the file-system boundary for a name that CP932 cannot hold, or bytes that
// are not a valid name of this file system. Its message names the offending text.
class EEncodingError : public CorvaneError {
 public:
  using CorvaneError::CorvaneError;
};

// The message of an I/O code, as the report shows it (before the "." rule).
std::string IoErrorMessage(int code);
inline std::string IoErrorMessage(IoCode code) {
  return IoErrorMessage(static_cast<int>(code));
}

// The text the standard error report shows for a message: "." appended when the first
// byte of the last character (a double-byte character counting as one) is above '.'.
std::string ErrorReportText(const std::string& message);

}  // namespace corvane
