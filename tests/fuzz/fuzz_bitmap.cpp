// The bitmap reader fed arbitrary files through InsertBitmap, then a save.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "FuzzCheck.h"
#include "XLSWorkSheets.h"
#include "XLSWorksheet.h"

using namespace tabulon;

namespace {

std::string ScratchFile() {
  const char* folder = std::getenv("TMPDIR");
  return std::string(folder ? folder : "/tmp") + "/tabulon_fuzz_" + std::to_string(getpid()) +
         ".bmp";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = ScratchFile();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return 0;
  const bool written = std::fwrite(data, 1, size, file) == size;
  std::fclose(file);
  if (!written) return 0;
  TXLSWorkbook book;
  XLSPtr<IXLSWorkSheet> sheet = book.GetWorksheets()->Add();
  const uint16_t row = size > 0 ? data[0] : 0;
  const uint16_t col = size > 1 ? data[1] : 0;
  if (sheet->InsertBitmap(row, col, path, 3, 2, 1.5f, 0.5f) != 1) {
    fuzz::Require(!static_cast<TXLSWorksheet&>(*sheet).GetLastError().empty(),
                  "a refused bitmap left no message");
  }
  sheet->InsertBitmap(0, 0, path);
  fuzz::CheckSaved(book);
  std::remove(path.c_str());
  return 0;
}
