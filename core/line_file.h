#pragma once
// One line-oriented text file, opened by a handler and closed by it (or by the destructor
// when an error ends the handler early, so no file stays held after a failure).
//
// Line rules: a line ends at CR LF or a lone CR; a lone LF is an ordinary byte; a 0x1A
// byte ends the text and nothing after it is read; lines have no length limit. Writing
// appends the bytes and CR LF.
//
// Reading opens only a regular file (a symbolic link to one is read through) and never
// waits: a pipe, device or folder at the name is code 5. It reads no further than the size
// the file had when opened, so a file another program keeps appending to still ends. Writing never
// touches the file at the name: the lines go to a staged file that replaces it whole (see
// staged_file.h).
//
// Sharing: a file open for reading lets other readers in but no writer; a file being
// replaced lets no one else open it. Open-file-description locks make this hold between
// two running copies of the program and within one (code 32 on a conflict).

#include <optional>
#include <string>

#include "core/file_system.h"
#include "core/staged_file.h"

namespace corvane {

class LineFile {
 public:
  // Bytes per read call.
  static constexpr std::size_t kBufferSize = 128;
  // Bytes gathered before a write call. Nothing is seen at the file's name before the staged
  // file is put in place, so the size only trades memory for system calls: a page goes out
  // in a handful of writes.
  static constexpr std::size_t kWriteBlock = std::size_t{256} * 1024;

  LineFile() = default;
  ~LineFile();
  LineFile(const LineFile&) = delete;
  LineFile& operator=(const LineFile&) = delete;

  // Names are this file system's: a CP932 name is found with FolderIndex first. `dir` is the
  // folder held open for the operation (folder.h), which must outlive the open file; the
  // forms without it take a path from the current directory.
  void OpenRead(int dir, const std::string& name);
  void OpenRead(const std::string& path) { OpenRead(AT_FDCWD, path); }
  // Lines written go to a staged file that Close() puts in place of the file at the name.
  // Temporaries a killed process left in the folder are removed first.
  void OpenReplace(int dir, const std::string& name);
  void OpenReplace(const std::string& path) { OpenReplace(AT_FDCWD, path); }
  // Like OpenReplace, but the caller puts the file in place (together with others):
  // TakeStaged() ends the writing and hands the staged file over.
  void OpenStaged(int dir, const std::string& name);
  void OpenStaged(const std::string& path) { OpenStaged(AT_FDCWD, path); }
  // Puts the file being written in place, as Close() does, and reads it from its start,
  // reopened through the descriptor that wrote it: the lines read are the lines written,
  // whatever has since been put at the file's name.
  void CommitAndReadBack();

  bool AtEnd();
  std::string ReadLine();
  void WriteLine(const std::string& text);
  void Close();
  StagedFile TakeStaged();

 private:
  enum class Mode { Closed, Reading, Writing };
  void StartWriting(int dir, const std::string& name, bool sweep);
  void StartReading(sys::FileHandle file, const std::string& name, off_t size);
  int Fd() const;
  bool FillBuffer();
  void FlushBuffer();
  void Reset() noexcept;

  Mode mode_ = Mode::Closed;
  std::string fsPath_;  // the name the caller asked for, in this file system's encoding
  sys::FileHandle reading_;
  std::optional<StagedFile> writing_;
  unsigned char buffer_[kBufferSize] = {};
  std::size_t count_ = 0;  // valid bytes in buffer_
  std::string pending_;    // written lines not yet handed to the system
  std::size_t pos_ = 0;    // next byte to read
  off_t offset_ = 0;       // of the next read in the file
  off_t size_ = 0;         // read no further: the size when opened, or the bytes written
  bool eof_ = false;
};

}  // namespace corvane
