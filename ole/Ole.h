// Compound document writer: lays out a compound file (version 3: 512-byte
// sectors, 64-byte mini sectors, mini stream cut-off 4096 bytes) whose root
// storage holds exactly one stream, and writes it to a byte sink in one
// sequential pass.
//
// Because the stream's size is announced up front, every allocation table and
// the directory can be written before the content, and the content itself goes
// to the sink unbuffered, right after them: a stream of any size is never held
// in memory. A stream below the cut-off lives in the mini stream, which is
// placed last in the file so that its content streams through as well.
#pragma once

#include <cstdint>
#include <string>

#include "XLSStream.h"

namespace tabulon {

class TOleDocWriter {
 public:
  // Largest stream a version 3 compound file may hold.
  static constexpr uint64_t kMaxStreamSize = 0x80000000u;

  TOleDocWriter();
  TOleDocWriter(const TOleDocWriter&) = delete;
  TOleDocWriter& operator=(const TOleDocWriter&) = delete;

  // Starts a document on out (which must outlive the writer's use of it) with
  // one stream named streamName of exactly streamSize bytes, and writes
  // everything that precedes the stream's content. The name is 1 to 31
  // printable ASCII characters other than / \ : and !. Returns 1, or -1 with
  // LastError() when the arguments are invalid or the sink refused bytes.
  // Calling Begin again starts a new document.
  int Begin(TXLSStream& out, const std::string& streamName, uint64_t streamSize);

  // The sink for the stream's content: the caller writes exactly the announced
  // number of bytes through it, in as many calls as it likes. It passes each
  // call straight to the output. Bytes beyond the announced size are refused
  // (the returned count is short), as is everything after a failure.
  TXLSStream& Stream() { return content_; }

  // Completes the document (pads its last sector). Returns 1, or -1 with
  // LastError() when Begin failed or was not called, the content written
  // differs from the announced size, or any write to the output fell short.
  // The output itself (e.g. a file) is closed by its owner afterwards.
  int Finish();

  // Why the last Begin or Finish failed; empty after success.
  const std::string& LastError() const { return error_; }

 private:
  // Counts and forwards the content, refusing what would not fit.
  class TContentSink : public TXLSStream {
   public:
    explicit TContentSink(TOleDocWriter& owner) : owner_(owner) {}
    size_t Write(const void* data, size_t count) override;

   private:
    TOleDocWriter& owner_;
  };

  int Fail(const std::string& message);
  size_t WriteOut(const void* data, size_t count, const char* what);

  TContentSink content_;
  TXLSStream* out_ = nullptr;
  uint64_t streamSize_ = 0;
  uint64_t written_ = 0;
  uint64_t paddedSize_ = 0;  // announced size rounded up to whole sectors
  std::string error_;
};

}  // namespace tabulon
