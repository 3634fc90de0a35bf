#include "core/errors.h"

#include "core/byte_text.h"
#include "core/code_page.h"

namespace corvane {

std::string IoErrorMessage(int code) {
  switch (code) {
    case static_cast<int>(IoCode::FileNotFound):
      return Sjis(u8"ファイルが見つかりません");
    case static_cast<int>(IoCode::PathNotFound):
      return Sjis(u8"不正なファイル名です");
    case static_cast<int>(IoCode::TooManyOpenFiles):
      return Sjis(u8"オープンしたファイルが多すぎます");
    case static_cast<int>(IoCode::AccessDenied):
      return Sjis(u8"ファイルへのアクセスが拒否されました");
    case static_cast<int>(IoCode::ReadBeyondEnd):
      return Sjis(u8"ファイルの末尾以降を読み込みました");
    case static_cast<int>(IoCode::DiskWriteError):
      return Sjis(u8"ディスクがいっぱいです");
    case static_cast<int>(IoCode::InvalidNumber):
      return Sjis(u8"入力値が数値ではありません");
    default:
      return Sjis(u8"I/O エラー (") + std::to_string(code) + ")";
  }
}

std::string ErrorReportText(const std::string& message) {
  std::size_t last = LastCharStart(message);
  if (last != std::string::npos && static_cast<unsigned char>(message[last]) > '.') {
    return message + ".";
  }
  return message;
}

EInOutError::EInOutError(IoCode code)
    : CorvaneError(IoErrorMessage(code)), code_(static_cast<int>(code)) {}

EConvertError EConvertError::NotAnInteger(const std::string& text) {
  return EConvertError("'" + text + Sjis(u8"' は整数ではありません"));
}

EStringListError EStringListError::IndexOutOfRange(long long index) {
  return EStringListError(Sjis(u8"リストのインデックスが範囲を超えています (") +
                          std::to_string(index) + ")");
}

EFOpenError EFOpenError::CannotOpen(const std::string& name) {
  return EFOpenError(Sjis(u8"ファイル ") + name + Sjis(u8" は開けません"));
}

EFOpenError EFOpenError::TooLarge(const std::string& name, long long limitMiB) {
  return EFOpenError(Sjis(u8"ファイル ") + name + Sjis(u8" は大きすぎます (") +
                     std::to_string(limitMiB) + Sjis(u8" MB まで)"));
}

EJPEG::EJPEG(int messageCode)
    : CorvaneError(Sjis(u8"JPEG エラー #") + std::to_string(messageCode)),
      messageCode_(messageCode) {}

EOutOfResources::EOutOfResources() : CorvaneError(Sjis(u8"行を挿入できません")) {}
EZeroDivide::EZeroDivide() : CorvaneError(Sjis(u8"0 による浮動小数点数除算")) {}
EInvalidOp::EInvalidOp() : CorvaneError(Sjis(u8"不正な浮動小数点数演算命令")) {}

}  // namespace corvane
