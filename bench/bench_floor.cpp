// The raw-write floor: writes BYTES bytes to a file in 64 KiB blocks with no
// format logic at all, so a writer's time can be compared with the cost of
// putting the same number of bytes on disk: bench_floor BYTES OUT [--durable]
//
// With --durable the bytes are saved the way TXLSWorkbook::SaveAs saves a
// workbook so that a crash never leaves a half-written file: into a new file
// beside OUT, flushed to the disk (fsync), renamed over OUT, and the folder
// flushed. That is the floor for any writer that keeps the same promise.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace {

bool Fail(const std::string& what) {
  std::perror(what.c_str());
  return false;
}

bool WriteBytes(int fd, long long bytes) {
  const std::vector<char> block(1 << 16, 'x');
  for (long long left = bytes; left > 0;) {
    const size_t count = left < static_cast<long long>(block.size()) ? left : block.size();
    const ssize_t written = write(fd, block.data(), count);
    if (written <= 0) return false;
    left -= written;
  }
  return true;
}

bool SaveRaw(long long bytes, const std::string& out) {
  const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
  if (fd < 0) return Fail(out);
  const bool written = WriteBytes(fd, bytes);
  return (close(fd) == 0 && written) || Fail(out);
}

bool SaveDurable(long long bytes, const std::string& out) {
  const std::string temp = out + ".floor-tmp";
  const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
  if (fd < 0) return Fail(temp);
  const bool written = WriteBytes(fd, bytes) && fsync(fd) == 0;
  if (close(fd) != 0 || !written || std::rename(temp.c_str(), out.c_str()) != 0) {
    unlink(temp.c_str());
    return Fail(temp);
  }
  const size_t slash = out.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : out.substr(0, slash + 1);
  const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const long long bytes = argc >= 3 ? std::strtoll(argv[1], nullptr, 10) : -1;
  const bool durable = argc == 4 && std::strcmp(argv[3], "--durable") == 0;
  if (bytes < 0 || argc > 4 || (argc == 4 && !durable)) {
    std::cerr << "usage: " << argv[0] << " BYTES OUT [--durable]\n";
    return 2;
  }
  return (durable ? SaveDurable(bytes, argv[2]) : SaveRaw(bytes, argv[2])) ? 0 : 1;
}
