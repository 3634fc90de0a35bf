#pragma once
// One line-oriented text file, opened by a handler and closed by it (or by the destructor
// when an error ends the handler early, so no file stays held after a failure).
//
// Line rules: a line ends at CR LF or a lone CR; a lone LF is an ordinary byte; a 0x1A
// byte ends the text and nothing after it is read; lines have no length limit. Writing
// appends the bytes and CR LF through a 128-byte buffer.
//
// Sharing: a file open for reading lets other readers in but no writer; a file open for
// writing lets no one else open it. Open-file-description locks make this hold between
// two running copies of the program and within one (code 32 on a conflict).

#include <string>

namespace corvane {

class LineFile {
 public:
  static constexpr std::size_t kBufferSize = 128;

  LineFile() = default;
  ~LineFile();
  LineFile(const LineFile&) = delete;
  LineFile& operator=(const LineFile&) = delete;

  // Paths are this file system's names: a CP932 name is found with FolderIndex first.
  void OpenRead(const std::string& path);
  // Creates or truncates the file in place.
  void OpenWrite(const std::string& path);
  // Like OpenWrite, but the lines go to a temporary file in the same folder that Close()
  // flushes to disk and renames over the path, so a failure part-way leaves any previous
  // file whole. The replaced file's permission bits are kept.
  void OpenReplace(const std::string& path);

  bool AtEnd();
  std::string ReadLine();
  void WriteLine(const std::string& text);
  void Close();

  bool IsOpen() const { return fd_ >= 0; }

 private:
  enum class Mode { Closed, Reading, Writing };
  void Adopt(int fd, const std::string& fsPath, Mode mode);
  bool FillBuffer();
  void FlushBuffer();
  void Release() noexcept;
  void SyncFolder() noexcept;

  int fd_ = -1;
  int lockFd_ = -1;  // the replaced file, locked until the new one takes its place
  Mode mode_ = Mode::Closed;
  std::string fsPath_;    // the name the caller asked for, in this file system's encoding
  std::string tempPath_;  // set while an OpenReplace is in progress
  unsigned char buffer_[kBufferSize] = {};
  std::size_t count_ = 0;  // valid bytes in buffer_
  std::size_t pos_ = 0;    // next byte to read
  bool eof_ = false;
};

}  // namespace corvane
