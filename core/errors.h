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

// A failed file operation; Code() is the program's I/O code (2, 3, 4, 5, 32, 112, 123 ...).
class EInOutError : public CorvaneError {
 public:
  explicit EInOutError(int code);
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

// "ファイル %s は開けません"
class EFOpenError : public CorvaneError {
 public:
  static EFOpenError CannotOpen(const std::string& name);
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

// The text the standard error report shows for a message: "." appended when the first
// byte of the last character (a double-byte character counting as one) is above '.'.
std::string ErrorReportText(const std::string& message);

}  // namespace corvane
