#include "Ole.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "XLSByteOrder.h"

namespace tabulon {
namespace {

constexpr uint32_t kSectorShift = 9;
constexpr uint32_t kMiniSectorShift = 6;
constexpr uint32_t kSectorSize = 1u << kSectorShift;
constexpr uint32_t kMiniSectorSize = 1u << kMiniSectorShift;
constexpr uint32_t kMiniStreamCutoff = 4096;
constexpr uint32_t kIdsPerSector = kSectorSize / 4;
constexpr uint32_t kHeaderDifatIds = 109;
constexpr uint32_t kDifatIdsPerSector = kIdsPerSector - 1;  // the last id links the next
constexpr uint32_t kDirEntrySize = 128;
constexpr size_t kMaxNameLength = 31;

constexpr uint32_t kFreeSect = 0xFFFFFFFF;
constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kFatSect = 0xFFFFFFFD;
constexpr uint32_t kDifSect = 0xFFFFFFFC;
constexpr uint32_t kNoStream = 0xFFFFFFFF;

constexpr uint8_t kTypeStream = 2;
constexpr uint8_t kTypeRoot = 5;
constexpr uint8_t kBlack = 1;

constexpr uint32_t kStreamId = 1;  // the root entry is entry 0

const uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

uint64_t CeilDiv(uint64_t value, uint64_t divisor) {
  return (value + divisor - 1) / divisor;
}

// Where each part of the document goes. Sectors are numbered from 0 after the
// header; all tables and the directory come first and the stream's content
// (or the mini stream holding it) last, so the content can be written as it
// arrives:
//   FAT sectors | DIFAT sectors | directory | MiniFAT | content sectors
struct TOleLayout {
  uint64_t streamSize = 0;
  bool inMiniStream = false;
  uint32_t miniSectors = 0;     // mini sectors of the stream when it is in the mini stream
  uint32_t miniFatSectors = 0;  // sectors of the MiniFAT
  uint32_t dataSectors = 0;     // sectors of the stream, or of the mini stream holding it
  uint32_t fatSectors = 0;
  uint32_t difatSectors = 0;

  explicit TOleLayout(uint64_t size);

  uint32_t FirstDifat() const { return fatSectors; }
  uint32_t DirSector() const { return fatSectors + difatSectors; }
  uint32_t FirstMiniFat() const { return DirSector() + 1; }
  uint32_t FirstData() const { return FirstMiniFat() + miniFatSectors; }
  uint32_t TotalSectors() const { return FirstData() + dataSectors; }
  // Bytes before the first content sector: the header and every table.
  size_t PrefixSize() const { return size_t(kSectorSize) * (1 + FirstData()); }
};

// DIFAT sectors hold the ids of the FAT sectors the header's 109 slots cannot.
uint32_t DifatSectorsFor(uint32_t fatSectors) {
  if (fatSectors <= kHeaderDifatIds) return 0;
  return static_cast<uint32_t>(CeilDiv(fatSectors - kHeaderDifatIds, kDifatIdsPerSector));
}

TOleLayout::TOleLayout(uint64_t size) : streamSize(size) {
  inMiniStream = size > 0 && size < kMiniStreamCutoff;
  if (inMiniStream) {
    miniSectors = static_cast<uint32_t>(CeilDiv(size, kMiniSectorSize));
    miniFatSectors = static_cast<uint32_t>(CeilDiv(miniSectors, kIdsPerSector));
    dataSectors =
        static_cast<uint32_t>(CeilDiv(uint64_t(miniSectors) * kMiniSectorSize, kSectorSize));
  } else {
    dataSectors = static_cast<uint32_t>(CeilDiv(size, kSectorSize));
  }
  // The FAT must also cover its own sectors and the DIFAT sectors, whose
  // number depends on the FAT's size: take the least count that covers all.
  // The needed count never decreases as the count grows, so iterating from
  // below stops at that least fixed point. DIFAT sectors appear only beyond
  // 109 FAT sectors, as strict readers demand.
  const uint64_t otherSectors = 1 + uint64_t(miniFatSectors) + dataSectors;
  fatSectors = 1;
  for (;;) {
    const uint64_t covered = fatSectors + DifatSectorsFor(fatSectors) + otherSectors;
    const auto needed = static_cast<uint32_t>(CeilDiv(covered, kIdsPerSector));
    if (needed == fatSectors) break;
    fatSectors = needed;
  }
  difatSectors = DifatSectorsFor(fatSectors);
}

// Links count ids starting at first into one chain in the id table at
// tableOffset of buf: each id points to the next, the last ends the chain.
void PutChain(std::vector<uint8_t>& buf, size_t tableOffset, uint32_t first, uint32_t count) {
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t next = i + 1 < count ? first + i + 1 : kEndOfChain;
    XLSPutLE<uint32_t>(&buf[tableOffset + 4 * size_t(first + i)], next);
  }
}

void PutMarks(std::vector<uint8_t>& buf, size_t tableOffset, uint32_t first, uint32_t count,
              uint32_t mark) {
  for (uint32_t i = 0; i < count; ++i)
    XLSPutLE<uint32_t>(&buf[tableOffset + 4 * size_t(first + i)], mark);
}

size_t SectorOffset(uint32_t sector) {
  return size_t(kSectorSize) * (1 + size_t(sector));
}

void PutHeader(std::vector<uint8_t>& buf, const TOleLayout& layout) {
  std::memcpy(buf.data(), kSignature, sizeof kSignature);
  XLSPutLE<uint16_t>(&buf[0x18], 0x003E);  // minor version
  XLSPutLE<uint16_t>(&buf[0x1A], 0x0003);  // major version: 512-byte sectors
  XLSPutLE<uint16_t>(&buf[0x1C], 0xFFFE);  // byte order mark: little-endian
  XLSPutLE<uint16_t>(&buf[0x1E], kSectorShift);
  XLSPutLE<uint16_t>(&buf[0x20], kMiniSectorShift);
  XLSPutLE<uint32_t>(&buf[0x2C], layout.fatSectors);
  XLSPutLE<uint32_t>(&buf[0x30], layout.DirSector());
  XLSPutLE<uint32_t>(&buf[0x38], kMiniStreamCutoff);
  XLSPutLE<uint32_t>(&buf[0x3C], layout.miniFatSectors ? layout.FirstMiniFat() : kEndOfChain);
  XLSPutLE<uint32_t>(&buf[0x40], layout.miniFatSectors);
  XLSPutLE<uint32_t>(&buf[0x44], layout.difatSectors ? layout.FirstDifat() : kEndOfChain);
  XLSPutLE<uint32_t>(&buf[0x48], layout.difatSectors);
  // Slots beyond the FAT sectors stay FREESECT from the buffer's fill.
  const uint32_t inHeader = std::min(layout.fatSectors, kHeaderDifatIds);
  for (uint32_t i = 0; i < inHeader; ++i) XLSPutLE<uint32_t>(&buf[0x4C + 4 * i], i);
}

void PutFat(std::vector<uint8_t>& buf, const TOleLayout& layout) {
  const size_t fat = SectorOffset(0);
  PutMarks(buf, fat, 0, layout.fatSectors, kFatSect);
  PutMarks(buf, fat, layout.FirstDifat(), layout.difatSectors, kDifSect);
  PutChain(buf, fat, layout.DirSector(), 1);
  PutChain(buf, fat, layout.FirstMiniFat(), layout.miniFatSectors);
  PutChain(buf, fat, layout.FirstData(), layout.dataSectors);
}

// Each DIFAT sector lists the next 127 FAT sector ids and links the next DIFAT
// sector; unused slots stay FREESECT.
void PutDifat(std::vector<uint8_t>& buf, const TOleLayout& layout) {
  for (uint32_t d = 0; d < layout.difatSectors; ++d) {
    const size_t at = SectorOffset(layout.FirstDifat() + d);
    const uint32_t firstFat = kHeaderDifatIds + d * kDifatIdsPerSector;
    const uint32_t count = std::min(kDifatIdsPerSector, layout.fatSectors - firstFat);
    for (uint32_t i = 0; i < count; ++i) XLSPutLE<uint32_t>(&buf[at + 4 * i], firstFat + i);
    const bool last = d + 1 == layout.difatSectors;
    XLSPutLE<uint32_t>(&buf[at + 4 * kDifatIdsPerSector],
                       last ? kEndOfChain : layout.FirstDifat() + d + 1);
  }
}

// A directory entry with its name, type, colour, tree links and first sector;
// class id, state bits and time stamps stay zero.
void PutDirEntry(std::vector<uint8_t>& buf, size_t at, const std::string& name, uint8_t type,
                 uint32_t child, uint32_t start, uint64_t size) {
  for (size_t i = 0; i < name.size(); ++i) XLSPutLE<uint16_t>(&buf[at + 2 * i], uint8_t(name[i]));
  XLSPutLE<uint16_t>(&buf[at + 0x40],
                     static_cast<uint16_t>(2 * (name.size() + 1)));  // with terminator
  buf[at + 0x42] = type;
  buf[at + 0x43] = kBlack;  // a lone node of a red-black tree is black
  XLSPutLE<uint32_t>(&buf[at + 0x44], kNoStream);
  XLSPutLE<uint32_t>(&buf[at + 0x48], kNoStream);
  XLSPutLE<uint32_t>(&buf[at + 0x4C], child);
  XLSPutLE<uint32_t>(&buf[at + 0x74], start);
  XLSPutLE<uint64_t>(&buf[at + 0x78], size);
}

// An unused entry is all zero except its three links.
void PutUnusedDirEntry(std::vector<uint8_t>& buf, size_t at) {
  XLSPutLE<uint32_t>(&buf[at + 0x44], kNoStream);
  XLSPutLE<uint32_t>(&buf[at + 0x48], kNoStream);
  XLSPutLE<uint32_t>(&buf[at + 0x4C], kNoStream);
}

void PutDirectory(std::vector<uint8_t>& buf, const TOleLayout& layout,
                  const std::string& streamName) {
  const size_t dir = SectorOffset(layout.DirSector());
  std::fill(buf.begin() + dir, buf.begin() + dir + kSectorSize, 0);
  // The root entry describes the mini stream: its first sector and its size.
  const uint64_t miniStreamSize = uint64_t(layout.miniSectors) * kMiniSectorSize;
  const uint32_t rootStart = layout.inMiniStream ? layout.FirstData() : kEndOfChain;
  PutDirEntry(buf, dir, "Root Entry", kTypeRoot, kStreamId, rootStart, miniStreamSize);
  // An empty stream owns no sector; a small one starts at mini sector 0.
  uint32_t streamStart = kEndOfChain;
  if (layout.inMiniStream) {
    streamStart = 0;
  } else if (layout.streamSize > 0) {
    streamStart = layout.FirstData();
  }
  PutDirEntry(buf, dir + kStreamId * kDirEntrySize, streamName, kTypeStream, kNoStream, streamStart,
              layout.streamSize);
  for (uint32_t id = kStreamId + 1; id < kSectorSize / kDirEntrySize; ++id) {
    PutUnusedDirEntry(buf, dir + id * kDirEntrySize);
  }
}

// Without a mini stream there are no mini sectors and nothing to link.
void PutMiniFat(std::vector<uint8_t>& buf, const TOleLayout& layout) {
  PutChain(buf, SectorOffset(layout.FirstMiniFat()), 0, layout.miniSectors);
}

// Header, FAT, DIFAT, directory and MiniFAT, ready to precede the content.
// The buffer starts filled with 0xFF so every id not set is FREESECT; the
// header and directory, which are not id tables, are cleared first.
std::vector<uint8_t> BuildPrefix(const TOleLayout& layout, const std::string& streamName) {
  std::vector<uint8_t> buf(layout.PrefixSize(), 0xFF);
  std::fill(buf.begin(), buf.begin() + 0x4C, 0);
  PutHeader(buf, layout);
  PutFat(buf, layout);
  PutDifat(buf, layout);
  PutDirectory(buf, layout, streamName);
  PutMiniFat(buf, layout);
  return buf;
}

bool IsValidStreamName(const std::string& name) {
  if (name.empty() || name.size() > kMaxNameLength) return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    return c >= 0x20 && c <= 0x7E && std::strchr("/\\:!", c) == nullptr;
  });
}

}  // namespace

TOleDocWriter::TOleDocWriter() : content_(*this) {}

int TOleDocWriter::Fail(const std::string& message) {
  if (error_.empty()) error_ = "compound document: " + message;  // the first failure is the cause
  return -1;
}

// Writes to the output; a short count becomes the error. Returns the count taken.
size_t TOleDocWriter::WriteOut(const void* data, size_t count, const char* what) {
  const size_t taken = count > 0 ? out_->Write(data, count) : 0;
  if (taken < count) {
    Fail("the output took only " + std::to_string(taken) + " of " + std::to_string(count) +
         " bytes of " + what);
  }
  return taken;
}

int TOleDocWriter::Begin(TXLSStream& out, const std::string& streamName, uint64_t streamSize) {
  out_ = nullptr;
  error_.clear();
  streamSize_ = streamSize;
  written_ = 0;
  if (!IsValidStreamName(streamName)) {
    return Fail("invalid stream name \"" + streamName +
                "\" (1 to 31 printable ASCII characters other than / \\ : !)");
  }
  if (streamSize > kMaxStreamSize) {
    return Fail("stream of " + std::to_string(streamSize) +
                " bytes exceeds the format's limit of " + std::to_string(kMaxStreamSize));
  }
  out_ = &out;
  paddedSize_ = CeilDiv(streamSize, kSectorSize) * kSectorSize;
  const TOleLayout layout(streamSize);
  const std::vector<uint8_t> prefix = BuildPrefix(layout, streamName);
  const char* what = "the header and allocation tables";
  return WriteOut(prefix.data(), prefix.size(), what) == prefix.size() ? 1 : -1;
}

size_t TOleDocWriter::TContentSink::Write(const void* data, size_t count) {
  TOleDocWriter& w = owner_;
  if (!w.out_) {
    w.Fail("stream content written without a started document");
    return 0;
  }
  if (!w.error_.empty()) return 0;  // nothing more after a failure
  const uint64_t room = w.streamSize_ - w.written_;
  const size_t allowed = static_cast<size_t>(std::min<uint64_t>(count, room));
  const size_t taken = w.WriteOut(data, allowed, "stream content");
  w.written_ += taken;
  if (taken == allowed && allowed < count) {
    w.Fail("stream content exceeds the announced " + std::to_string(w.streamSize_) + " bytes");
  }
  return taken;
}

int TOleDocWriter::Finish() {
  if (!out_) return error_.empty() ? Fail("Finish without a started document") : -1;
  if (!error_.empty()) {
    out_ = nullptr;
    return -1;
  }
  if (written_ != streamSize_) {
    out_ = nullptr;
    return Fail("stream content has " + std::to_string(written_) + " bytes, " +
                std::to_string(streamSize_) + " were announced");
  }
  // The content always ends less than one sector before the file's end.
  static const uint8_t kZeros[kSectorSize] = {};
  const auto padding = static_cast<size_t>(paddedSize_ - written_);
  const bool padded = WriteOut(kZeros, padding, "the last sector") == padding;
  out_ = nullptr;
  return padded ? 1 : -1;
}

}  // namespace tabulon
