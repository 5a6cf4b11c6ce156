// Builds a one-sheet sales report with a company logo in its top-left corner
// and saves it to the file named on the command line:
//
//   example_logo_report7 report.xls [logo.bmp]
//
// The logo must be a 24-bit uncompressed Windows bitmap. Without one, the
// program draws a small logo itself and writes it next to the report as
// report.xls.logo.bmp. The logo is placed over rows 1 to 4 and the table
// starts below it.
#include <tabulon/Tabulon.h>

#include <cstdint>
#include <fstream>
#include <iostream>
#include <string>

using namespace tabulon;

namespace {

constexpr uint32_t kLogoWidth = 96;
constexpr uint32_t kLogoHeight = 48;

void PutLong(std::string& bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>(value >> (8 * i) & 0xFF);
}

void PutWord(std::string& bytes, uint16_t value) {
  bytes += static_cast<char>(value & 0xFF);
  bytes += static_cast<char>(value >> 8);
}

// Blue, green, red of one logo pixel (y counts from the bottom): a dark blue
// band with an orange disc.
void LogoPixel(uint32_t x, uint32_t y, std::string& row) {
  const int dx = static_cast<int>(x) - 24, dy = static_cast<int>(y) - 24;
  const bool disc = dx * dx + dy * dy < 18 * 18;
  row += static_cast<char>(disc ? 0x20 : 0x70);
  row += static_cast<char>(disc ? 0x90 : 0x30);
  row += static_cast<char>(disc ? 0xF0 : 0x10);
}

// A 24-bit uncompressed bitmap file: file header, 40-byte information
// header, then the pixel rows bottom-up, each padded to 4 bytes.
std::string LogoBitmap() {
  const uint32_t rowSize = (kLogoWidth * 3 + 3) / 4 * 4;
  std::string pixels;
  for (uint32_t y = 0; y < kLogoHeight; ++y) {
    std::string row;
    for (uint32_t x = 0; x < kLogoWidth; ++x) LogoPixel(x, y, row);
    row.resize(rowSize, '\0');
    pixels += row;
  }
  std::string file = "BM";
  PutLong(file, static_cast<uint32_t>(54 + pixels.size()));
  PutLong(file, 0);   // reserved
  PutLong(file, 54);  // pixel rows follow the two headers
  PutLong(file, 40);
  PutLong(file, kLogoWidth);
  PutLong(file, kLogoHeight);
  PutWord(file, 1);   // planes
  PutWord(file, 24);  // bits per pixel
  PutLong(file, 0);   // no compression
  PutLong(file, static_cast<uint32_t>(pixels.size()));
  for (int i = 0; i < 4; ++i) PutLong(file, 0);  // resolution and palette: unused
  return file + pixels;
}

bool WriteLogo(const std::string& path) {
  std::ofstream out(path, std::ios::binary);
  out << LogoBitmap();
  return static_cast<bool>(out);
}

void Put(IXLSWorkSheet& sheet, const std::string& address, const OleVariant& value) {
  sheet.FGetRange(address, address)->SetValue(value);
}

void FillReport(IXLSWorkSheet& sheet) {
  // Widths first: the logo is anchored with the widths the sheet has when it
  // is inserted.
  sheet.FGetRange("A1", "A1")->SetColumnWidth(14.0);
  sheet.FGetRange("B1", "B1")->SetColumnWidth(12.0);
  sheet.SetWorkSheetName("Sales");
  Put(sheet, "C2", "Quarterly sales report");
  const char* regions[] = {"North", "South", "East", "West"};
  const double revenue[] = {1234.5, 987.25, 1500.0, 760.8};
  Put(sheet, "A6", "Region");
  Put(sheet, "B6", "Revenue");
  for (int i = 0; i < 4; ++i) {
    const std::string row = std::to_string(7 + i);
    Put(sheet, "A" + row, regions[i]);
    Put(sheet, "B" + row, revenue[i]);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::cerr << "usage: " << argv[0] << " OUT.xls [LOGO.bmp]\n";
    return 2;
  }
  const std::string out = argv[1];
  std::string logo = argc == 3 ? argv[2] : out + ".logo.bmp";
  if (argc == 2 && !WriteLogo(logo)) {
    std::cerr << "cannot write " << logo << '\n';
    return 1;
  }
  TXLSWorkbook workbook;
  XLSPtr<IXLSWorkSheet> sheet = workbook.GetWorksheets()->Add();
  FillReport(*sheet);
  // Anchored at A1, 4 pixels in from the cell's corner, at three quarters of
  // its size: 72 x 36 pixels.
  if (sheet->InsertBitmap(0, 0, logo, 4, 4, 0.75f, 0.75f) != 1) {
    std::cerr << "cannot place the logo: " << sheet->GetLastError() << '\n';
    return 1;
  }
  if (workbook.SaveAs(out) != 1) {
    std::cerr << "cannot save " << out << ": " << workbook.GetLastError() << '\n';
    return 1;
  }
  return 0;
}
