// Scratch storage for the records of a large save. A sheet's records are
// built before the stream is written (the workbook records that precede them
// name each sheet's offset, and the compound document announces the stream's
// size first), so without it every record of the workbook would sit in memory
// until the file is written. Record sections hand their bytes to a spill file
// once they hold more than a few chunks and read them back when the stream is
// written, which bounds a save's memory whatever the size of the file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "XLSBlob.h"
#include "XLSStream.h"

namespace tabulon {

class TXLSSpillFile {
 public:
  // The file is created in folder (normally the folder of the file being
  // saved, so it lies on the same file system) at the first Append. It has
  // no name there: it vanishes when closed, even if the process dies.
  explicit TXLSSpillFile(std::string folder);
  ~TXLSSpillFile();
  TXLSSpillFile(const TXLSSpillFile&) = delete;
  TXLSSpillFile& operator=(const TXLSSpillFile&) = delete;

  // Appends the bytes of every chunk of list at the end of the file and
  // returns the offset they start at, or -1 with LastError() when the file
  // cannot be created or written (e.g. a full disk).
  int64_t Append(const TXLSBlobList& list);
  // Copies size bytes starting at offset to out. 1, or -1 with LastError().
  int32_t CopyTo(TXLSStream& out, uint64_t offset, uint64_t size);
  // Bytes appended so far.
  uint64_t Size() const { return size_; }
  const std::string& LastError() const { return error_; }

 private:
  bool Open();
  // Writes the chunks first to first + count - 1 with as few calls as the
  // system allows.
  bool WriteChunks(const TXLSBlobList& list, size_t first, size_t count);
  int64_t Fail(const char* what, int err);

  // Reads go through one buffer of this size, made at the first copy.
  static constexpr size_t kBufferSize = 1 << 20;

  std::string folder_;
  std::unique_ptr<char[]> buffer_;
  int fd_ = -1;
  uint64_t size_ = 0;
  std::string error_;
};

}  // namespace tabulon
