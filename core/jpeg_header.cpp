#include "core/jpeg_header.h"

#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstddef>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <cstdlib>
#include <string>

#include <jerror.h>
#include <jpeglib.h>

#include "core/errors.h"
#include "core/exif_orientation.h"
#include "core/file_system.h"
#include "core/io_error.h"

namespace corvane {
namespace {

// Bytes pulled from the file by its first read: a page, the least the system reads anyway. It
// holds a header without large markers (quantisation and Huffman tables, frame and scan
// headers) and the start of the metadata block a camera writes first.
constexpr std::size_t kFirstChunk = 4096;
// Bytes per later read. Each large marker the library skips costs a seek and at most one more
// read: a camera file is measured with two reads, its first page and the tables and frame
// header after its metadata, and even a file with several metadata blocks before its frame
// header from a few kilobytes.
constexpr std::size_t kChunk = 1024;

// The most data the reader takes from a file (bytes it skips over do not count). A frame
// header comes after the tables and the markers the library reads in full, which even in
// files with large embedded profiles or thumbnails total a few hundred kilobytes at most;
// past this the file is treated as ended there, so the library gives its error for a file
// without an image and garbage costs milliseconds whatever its size.
constexpr std::uint64_t kMaxBytesRead = std::uint64_t{1024} * 1024;

// The end-of-image marker the source hands out once the file is exhausted, as libjpeg's own
// sources do: the library then ends its marker scan with a clean error or warning instead
// of waiting for bytes that will never come.
const JOCTET kFakeEoi[2] = {0xFF, JPEG_EOI};

// libjpeg reports a fatal error by calling error_exit, which must not return. C++ exceptions
// cannot pass through the library's C frames, so error_exit jumps back to the one guarded
// call below, which destroys the decompression object and raises the error from there.
struct ErrorManager {
  jpeg_error_mgr pub;  // first, so a j_common_ptr's err can be cast back
  std::jmp_buf jump;
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}
void OutputMessage(j_common_ptr) {}
void EmitMessage(j_common_ptr, int) {}  // warnings and traces are ignored

// Reads the file in small chunks as the library asks for bytes, and passes over whatever it
// skips (metadata blocks, thumbnails) instead of reading it: reads go to an offset of their
// own, so a skip only moves that offset. The library sees the bytes its
// memory source would show it for the whole file in memory, fake end markers included. (After
// a skip past the end the memory source can stop half-way through a fake marker; the marker
// scan that follows every skip passes over such a stray byte, so the outcome is the same.)
struct FileSource {
  jpeg_source_mgr pub;  // first, so cinfo->src can be cast back
  int fd;
  off_t offset;  // where the next read starts
  std::uint64_t bytesRead;
  bool atEnd;     // the file is exhausted; only fake end markers follow
  int readError;  // errno of a failed read or seek, 0 if none
  JOCTET buffer[kFirstChunk];
};

FileSource* SourceOf(j_decompress_ptr cinfo) {
  return reinterpret_cast<FileSource*>(cinfo->src);
}

[[noreturn]] void FailRead(j_decompress_ptr cinfo, int err) {
  SourceOf(cinfo)->readError = err;
  ERREXIT(cinfo, JERR_FILE_READ);
  std::abort();  // error_exit never returns; this tells the compiler so
}

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
  FileSource* src = SourceOf(cinfo);
  if (src->bytesRead >= kMaxBytesRead) src->atEnd = true;
  if (!src->atEnd) {
    ssize_t n = sys::Pread(src->fd, src->buffer, kChunk, src->offset);
    if (n < 0) FailRead(cinfo, errno);
    if (n > 0) {
      src->offset += n;
      src->bytesRead += static_cast<std::uint64_t>(n);
      src->pub.next_input_byte = src->buffer;
      src->pub.bytes_in_buffer = static_cast<std::size_t>(n);
      return TRUE;
    }
    src->atEnd = true;
  }
  src->pub.next_input_byte = kFakeEoi;
  src->pub.bytes_in_buffer = sizeof kFakeEoi;
  return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long numBytes) {
  if (numBytes <= 0) return;
  FileSource* src = SourceOf(cinfo);
  auto skip = static_cast<std::size_t>(numBytes);
  if (skip <= src->pub.bytes_in_buffer) {
    src->pub.next_input_byte += skip;
    src->pub.bytes_in_buffer -= skip;
    return;
  }
  const std::size_t beyond = skip - src->pub.bytes_in_buffer;
  src->pub.bytes_in_buffer = 0;
  // Passing the end is allowed; the next read then finds the end of the file.
  src->offset += static_cast<off_t>(beyond);
}

// Everything the guarded call touches lives outside its frame, so nothing it needs after a
// jump back is an automatic variable changed since setjmp. A decoder is created once and
// serves image after image: the library's abort call returns it to its starting state after
// each, which costs far less than creating and destroying one per image (the memory manager
// set-up, an environment lookup among it).
struct Decoder {
  jpeg_decompress_struct cinfo{};
  ErrorManager err{};
  int orientation = 1;
  bool created = false;

  Decoder() = default;
  Decoder(const Decoder&) = delete;
  Decoder& operator=(const Decoder&) = delete;
  ~Decoder() {
    if (created) jpeg_destroy_decompress(&cinfo);
  }
};

using AttachSource = void (*)(j_decompress_ptr cinfo, void* context);

// Creates the decompression object if it is not there yet, attaches the source and reads the
// header with an image required. Returns false when the library failed (err.pub.msg_code
// says why).
[[gnu::noinline]] bool ReadHeaderGuarded(Decoder* d, AttachSource attach, void* context) {
  if (setjmp(d->err.jump) != 0) return false;
  if (!d->created) {
    d->cinfo.err = jpeg_std_error(&d->err.pub);
    d->err.pub.error_exit = ErrorExit;
    d->err.pub.output_message = OutputMessage;
    d->err.pub.emit_message = EmitMessage;
    jpeg_create_decompress(&d->cinfo);
    d->created = true;
  }
  d->orientation = 1;
  ReadOrientationWithHeader(&d->cinfo, &d->orientation);
  attach(&d->cinfo, context);
  jpeg_read_header(&d->cinfo, TRUE);
  return true;
}

// Runs the guarded read, returns the object to its starting state (or, when even creating
// it failed, frees what there is of it), and turns a failure into EJPEG.
JpegSize ReadHeader(Decoder& d, AttachSource attach, void* context) {
  d.err.pub.msg_code = 0;
  const bool ok = ReadHeaderGuarded(&d, attach, context);
  JpegSize size{d.cinfo.image_width, d.cinfo.image_height, d.orientation};
  const int code = d.err.pub.msg_code;
  if (d.created) {
    jpeg_abort_decompress(&d.cinfo);
    d.cinfo.src = nullptr;  // the source lives in the caller's frame
  } else {
    jpeg_destroy_decompress(&d.cinfo);
  }
  if (!ok) throw EJPEG(code);
  return size;
}

// The decoder files are read with, one for each thread for as long as it runs.
Decoder& FileDecoder() {
  thread_local Decoder decoder;
  return decoder;
}

// The file's first chunk; when the caller asks, first without waiting for the disk, which
// tells whether the file was in memory.
ssize_t FirstRead(int fd, JOCTET* buffer, JpegReadStats* stats) {
  if (stats == nullptr || !stats->askCached) return sys::Pread(fd, buffer, kFirstChunk, 0);
  ssize_t n = sys::PreadNoWait(fd, buffer, kFirstChunk, 0);
  if (n >= 0) {
    stats->firstBlock = FirstBlock::Cached;
    return n;
  }
  if (errno != EAGAIN && errno != EOPNOTSUPP) return n;
  stats->firstBlock = errno == EAGAIN ? FirstBlock::NotCached : FirstBlock::NotAsked;
  return sys::Pread(fd, buffer, kFirstChunk, 0);
}

}  // namespace

JpegSize ReadJpegSize(int fd, JpegReadStats* stats) {
  FileSource src{};
  src.fd = fd;
  // Read the first chunk before creating anything: an empty file is measured as 0 x 0
  // without asking the library, which would reject it.
  ssize_t n = FirstRead(fd, src.buffer, stats);
  if (n < 0) throw IoErrorFromErrno(errno, std::string());
  if (stats) stats->bytesRead = static_cast<std::uint64_t>(n);
  if (n == 0) return {};
  src.offset = n;
  src.bytesRead = static_cast<std::uint64_t>(n);
  src.pub.next_input_byte = src.buffer;
  src.pub.bytes_in_buffer = static_cast<std::size_t>(n);
  src.pub.init_source = InitSource;
  src.pub.fill_input_buffer = FillInputBuffer;
  src.pub.skip_input_data = SkipInputData;
  src.pub.resync_to_restart = jpeg_resync_to_restart;
  src.pub.term_source = TermSource;

  auto attach = [](j_decompress_ptr cinfo, void* context) {
    cinfo->src = &static_cast<FileSource*>(context)->pub;
  };
  try {
    JpegSize size = ReadHeader(FileDecoder(), attach, &src);
    if (stats) stats->bytesRead = src.bytesRead;
    return size;
  } catch (const EJPEG&) {
    if (stats) stats->bytesRead = src.bytesRead;
    if (src.readError != 0) throw IoErrorFromErrno(src.readError, std::string());
    throw;
  }
}

JpegSize ReadJpegSizeFromMemory(const unsigned char* data, std::size_t size) {
  if (size == 0) return {};
  struct Memory {
    const unsigned char* data;
    std::size_t size;
  } memory{data, size};
  auto attach = [](j_decompress_ptr cinfo, void* context) {
    auto* m = static_cast<Memory*>(context);
    jpeg_mem_src(cinfo, m->data, static_cast<unsigned long>(m->size));
  };
  // A decoder of its own: the library's memory source stays attached to the object it was
  // made for.
  Decoder decoder;
  return ReadHeader(decoder, attach, &memory);
}

}  // namespace corvane
