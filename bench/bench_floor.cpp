// The raw-write floor: writes BYTES bytes to a file in 64 KiB blocks with no
// format logic at all, so a writer's time can be compared with the cost of
// putting the same number of bytes on disk: bench_floor BYTES OUT
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <vector>

int main(int argc, char** argv) {
  const long long bytes = argc == 3 ? std::strtoll(argv[1], nullptr, 10) : -1;
  if (bytes < 0) {
    std::cerr << "usage: " << argv[0] << " BYTES OUT\n";
    return 2;
  }
  std::FILE* file = std::fopen(argv[2], "wb");
  if (!file) {
    std::perror(argv[2]);
    return 1;
  }
  std::vector<char> block(1 << 16, 'x');
  for (long long left = bytes; left > 0;) {
    const size_t count = left < static_cast<long long>(block.size()) ? left : block.size();
    if (std::fwrite(block.data(), 1, count, file) != count) break;
    left -= count;
  }
  if (std::fclose(file) != 0) {
    std::perror(argv[2]);
    return 1;
  }
  return 0;
}
