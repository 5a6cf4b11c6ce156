#include "XLSSpillFile.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace tabulon {

TXLSSpillFile::TXLSSpillFile(std::string folder) : folder_(std::move(folder)) {
  if (folder_.empty()) folder_ = ".";
}

TXLSSpillFile::~TXLSSpillFile() {
  if (fd_ >= 0) close(fd_);
}

int64_t TXLSSpillFile::Fail(const char* what, int err) {
  if (error_.empty()) {
    error_ = std::string(what) + " a scratch file in '" + folder_ + "': " + std::strerror(err);
  }
  return -1;
}

// O_TMPFILE gives a file without a name; file systems that lack it get a
// named file that is unlinked at once, which leaves the same kind of file.
bool TXLSSpillFile::Open() {
  fd_ = open(folder_.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd_ >= 0) return true;
  std::string name = folder_ + "/.tabulon-spill-XXXXXX";
  fd_ = mkostemp(name.data(), O_CLOEXEC);
  if (fd_ < 0) {
    Fail("cannot create", errno);
    return false;
  }
  unlink(name.c_str());
  return true;
}

int64_t TXLSSpillFile::Append(const TXLSBlobList& list) {
  if (!error_.empty() || (fd_ < 0 && !Open())) return -1;
  const auto start = static_cast<int64_t>(size_);
  for (size_t first = 0; first < list.GetCount(); first += IOV_MAX) {
    const size_t count = std::min<size_t>(IOV_MAX, list.GetCount() - first);
    if (!WriteChunks(list, first, count)) return -1;
  }
  return start;
}

bool TXLSSpillFile::WriteChunks(const TXLSBlobList& list, size_t first, size_t count) {
  std::vector<iovec> pieces(count);
  for (size_t i = 0; i < count; ++i) {
    const TXLSBlob& chunk = *list.Get(first + i);
    pieces[i] = {const_cast<uint8_t*>(chunk.GetBuff()), chunk.GetDataSize()};
  }
  size_t next = 0;
  while (next < count) {
    const ssize_t written =
        pwritev(fd_, &pieces[next], static_cast<int>(count - next), static_cast<off_t>(size_));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      Fail("cannot write", written < 0 ? errno : ENOSPC);
      return false;
    }
    size_ += static_cast<uint64_t>(written);
    // A short write leaves part of a piece: skip what went out and go on.
    auto left = static_cast<size_t>(written);
    while (next < count && left >= pieces[next].iov_len) left -= pieces[next++].iov_len;
    if (next < count) {
      pieces[next].iov_base = static_cast<char*>(pieces[next].iov_base) + left;
      pieces[next].iov_len -= left;
    }
  }
  return true;
}

int32_t TXLSSpillFile::CopyTo(TXLSStream& out, uint64_t offset, uint64_t size) {
  if (offset + size > size_) return static_cast<int32_t>(Fail("cannot read", EINVAL));
  if (!buffer_) buffer_.reset(new (std::nothrow) char[kBufferSize]);
  if (!buffer_) return static_cast<int32_t>(Fail("cannot read", ENOMEM));
  char* buffer = buffer_.get();
  while (size > 0) {
    const size_t want = size < kBufferSize ? static_cast<size_t>(size) : kBufferSize;
    const ssize_t got = pread(fd_, buffer, want, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return static_cast<int32_t>(Fail("cannot read", got < 0 ? errno : EIO));
    if (out.Write(buffer, static_cast<size_t>(got)) != static_cast<size_t>(got)) return -1;
    offset += static_cast<uint64_t>(got);
    size -= static_cast<uint64_t>(got);
  }
  return 1;
}

}  // namespace tabulon
