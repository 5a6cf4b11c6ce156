#include "XLSStream.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

namespace tabulon {

size_t TXLSMemoryStream::Write(const void* data, size_t count) {
  const auto* p = static_cast<const uint8_t*>(data);
  bytes_.insert(bytes_.end(), p, p + count);
  return count;
}

TXLSFileStream::~TXLSFileStream() {
  if (file_) std::fclose(file_);
}

void TXLSFileStream::RecordError(const char* what, int err) {
  if (!error_.empty()) return;  // keep the first failure, it is the cause
  error_ = std::string(what) + " '" + path_ + "': " + std::strerror(err);
}

bool TXLSFileStream::Open(const std::string& path) {
  if (file_) std::fclose(file_);
  return Opened(std::fopen(path.c_str(), "wb"), path, "cannot create");
}

bool TXLSFileStream::Adopt(int fd, const std::string& path) {
  if (file_) std::fclose(file_);
  std::FILE* file = fdopen(fd, "wb");
  const int err = errno;
  if (!file) close(fd);
  errno = err;
  return Opened(file, path, "cannot write");
}

bool TXLSFileStream::Opened(std::FILE* file, const std::string& path, const char* what) {
  const int err = errno;
  file_ = file;
  path_ = path;
  error_.clear();
  if (!file_) {
    RecordError(what, err);
    return false;
  }
  if (!buffer_) buffer_.reset(new (std::nothrow) char[kBufferSize]);
  if (buffer_) std::setvbuf(file_, buffer_.get(), _IOFBF, kBufferSize);  // else stdio's own
  return true;
}

size_t TXLSFileStream::Write(const void* data, size_t count) {
  if (!file_) return 0;
  const size_t written = std::fwrite(data, 1, count, file_);
  if (written != count) RecordError("cannot write", errno ? errno : EIO);
  return written;
}

bool TXLSFileStream::Close() {
  if (!file_) return error_.empty();
  bool ok = error_.empty();
  if (std::fflush(file_) != 0) {
    RecordError("cannot write", errno);
    ok = false;
  }
  if (ok && fsync(fileno(file_)) != 0 && errno != EINVAL) {
    RecordError("cannot flush", errno);
    ok = false;
  }
  if (std::fclose(file_) != 0 && ok) {
    RecordError("cannot close", errno);
    ok = false;
  }
  file_ = nullptr;
  return ok;
}

}  // namespace tabulon
