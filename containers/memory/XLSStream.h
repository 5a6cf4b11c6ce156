// Byte-stream sinks: where record lists and the compound document write
// their bytes. A sink reports how many bytes it took; a short count is a
// failure that the writer above turns into status -1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace tabulon {

class TXLSStream {
 public:
  virtual ~TXLSStream() = default;
  // Writes count bytes; returns the number of bytes actually written.
  virtual size_t Write(const void* data, size_t count) = 0;
};

// Collects everything written into memory.
class TXLSMemoryStream : public TXLSStream {
 public:
  size_t Write(const void* data, size_t count) override;
  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  void Clear() { bytes_.clear(); }

 private:
  std::vector<uint8_t> bytes_;
};

// Writes to a file opened for writing. Errors are kept as text that names the
// path and the system's reason, so callers can tell a user what went wrong.
class TXLSFileStream : public TXLSStream {
 public:
  TXLSFileStream() = default;
  ~TXLSFileStream() override;
  TXLSFileStream(const TXLSFileStream&) = delete;
  TXLSFileStream& operator=(const TXLSFileStream&) = delete;

  // Creates or truncates the file; false with LastError() on failure.
  bool Open(const std::string& path);
  // Writes to an open descriptor, which the stream then owns; messages name
  // the file `path`. False with LastError() on failure (fd is closed then).
  bool Adopt(int fd, const std::string& path);
  size_t Write(const void* data, size_t count) override;
  // Flushes to disk and closes; false with LastError() when any write failed.
  bool Close();
  bool IsOpen() const { return file_ != nullptr; }
  const std::string& LastError() const { return error_; }
  const std::string& Path() const { return path_; }

 private:
  void RecordError(const char* what, int err);
  bool Opened(std::FILE* file, const std::string& path, const char* what);

  // Large writes: the writers hand over a few kilobytes at a time, and a
  // system call for each would cost more than building the bytes.
  static constexpr size_t kBufferSize = 1 << 20;

  std::unique_ptr<char[]> buffer_;  // the file's buffer; outlives file_
  std::FILE* file_ = nullptr;
  std::string path_;
  std::string error_;
};

}  // namespace tabulon
