#include "XLSWorkbook.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <unordered_map>

#include "Ole.h"
#include "XLSCellRef.h"
#include "XLSDefinedNames.h"
#include "XLSFormatConditions.h"
#include "XLSFormula.h"
#include "XLSPanes.h"
#include "XLSProtect.h"
#include "XLSRecordEncoder.h"
#include "XLSRecordIds.h"
#include "XLSRecordSection.h"
#include "XLSSpillFile.h"
#include "XLSTextEncoder.h"
#include "XLSUnicodeText.h"
#include "XLSWorkSheets.h"
#include "XLSWorksheet.h"
#include "xlsxf.h"

namespace tabulon {

namespace {

std::string SystemError(const std::string& what, const std::string& path, int err) {
  return what + " '" + path + "': " + std::strerror(err);
}

bool IsBlank(const std::string& text) {
  return text.find_first_not_of(" \t\r\n\v\f") == std::string::npos;
}

// Runs a clean-up when the scope ends, however it ends.
template <class TAction>
class TScopeExit {
 public:
  explicit TScopeExit(TAction action) : action_(std::move(action)) {}
  ~TScopeExit() { action_(); }
  TScopeExit(const TScopeExit&) = delete;
  TScopeExit& operator=(const TScopeExit&) = delete;

 private:
  TAction action_;
};

// A file written beside its target without a name, flushed to disk, then
// linked under a unique temporary name and renamed over the target in one
// step: readers of the target see either the old file or the complete new
// one, and a process killed while writing leaves nothing behind, as the
// system frees a file without a name. Where the file system cannot make
// such a file, it is written under the temporary name from the start.
// Unless committed, the temporary file is removed and the target is left
// as it was.
class TReplacingFile {
 public:
  explicit TReplacingFile(std::string target) : target_(std::move(target)) {}
  ~TReplacingFile() { Discard(); }
  TReplacingFile(const TReplacingFile&) = delete;
  TReplacingFile& operator=(const TReplacingFile&) = delete;

  bool Open();
  TXLSStream& Stream() { return stream_; }
  // The folder the file is written in.
  std::string Folder() const;
  // The sink's own reason when a write failed, else empty.
  const std::string& StreamError() const { return stream_.LastError(); }
  bool Commit();
  const std::string& LastError() const { return error_; }

 private:
  bool Fail(std::string message);
  void Discard();
  // The file that is replaced: the target, or the file a symbolic link names.
  std::string ResolveTarget() const;
  // Calls create with new unique names beside the target until one is not
  // taken; true with temp_ set, or false with errno set.
  template <class TCreate>
  bool UnderUniqueName(TCreate create);
  // Creates the file without a name in the target's folder and returns its
  // descriptor, or -1 when the file system (or the kernel) cannot.
  int CreateUnnamed() const;
  // Creates the temporary file under a new unique name beside the target and
  // returns its descriptor, or -1 with errno set.
  int CreateTemporary();
  // Gives the file without a name its temporary name.
  bool LinkUnnamed();
  void SyncFolder() const;

  std::string target_;
  std::string path_;  // the resolved target
  std::string temp_;
  int unnamed_ = -1;  // the file without a name, kept open to link it
  bool targetExists_ = false;
  mode_t targetMode_ = 0;
  TXLSFileStream stream_;
  std::string error_;
};

bool TReplacingFile::Fail(std::string message) {
  error_ = std::move(message);
  Discard();
  return false;
}

std::string TReplacingFile::ResolveTarget() const {
  struct stat info;
  if (lstat(target_.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return target_;
  char* resolved = realpath(target_.c_str(), nullptr);
  if (resolved == nullptr) return target_;  // a dangling link is replaced itself
  std::string path(resolved);
  std::free(resolved);
  return path;
}

// A name made of the process id, a per-process counter and clock bits:
// distinct for every call within the process, and unlikely to be taken by
// another; a clash (EEXIST) is retried under the next name.
template <class TCreate>
bool TReplacingFile::UnderUniqueName(TCreate create) {
  static std::atomic<uint32_t> counter{0};
  constexpr int kAttempts = 100;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const auto clock =
        static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, ".tmp%lx.%x.%llx", static_cast<long>(getpid()),
                  counter.fetch_add(1), static_cast<unsigned long long>(clock & 0xFFFFFF));
    const std::string name = path_ + suffix;
    if (create(name)) {
      temp_ = name;
      return true;
    }
    if (errno != EEXIST) return false;
  }
  errno = EEXIST;
  return false;
}

// The file is linked through its entry in /proc, which needs no privilege
// (linking the descriptor itself does); without /proc the named file is
// used. Files are created 0666 so that the kernel applies the umask itself:
// reading the umask would mean changing it, which races with other threads.
int TReplacingFile::CreateUnnamed() const {
#ifdef O_TMPFILE
  const int fd = open(Folder().c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (fd < 0) return -1;
  if (access(("/proc/self/fd/" + std::to_string(fd)).c_str(), F_OK) == 0) return fd;
  close(fd);
#endif
  return -1;
}

int TReplacingFile::CreateTemporary() {
  int fd = -1;
  UnderUniqueName([&fd](const std::string& name) {
    fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    return fd >= 0;
  });
  return fd;
}

bool TReplacingFile::LinkUnnamed() {
  const std::string source = "/proc/self/fd/" + std::to_string(unnamed_);
  const bool linked = UnderUniqueName([&source](const std::string& name) {
    return linkat(AT_FDCWD, source.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
  });
  const int err = errno;
  close(unnamed_);
  unnamed_ = -1;
  errno = err;
  return linked;
}

bool TReplacingFile::Open() {
  path_ = ResolveTarget();
  struct stat info;
  targetExists_ = stat(path_.c_str(), &info) == 0;
  if (targetExists_ && !S_ISREG(info.st_mode)) {
    // Renaming over a folder, device or pipe would destroy it, not write it.
    return Fail("'" + target_ + "' exists and is not a regular file");
  }
  targetMode_ = targetExists_ ? info.st_mode : 0;
  int fd = CreateUnnamed();
  if (fd >= 0) {
    unnamed_ = dup(fd);
    if (unnamed_ < 0) {
      close(fd);
      return Fail(SystemError("cannot create a file beside", target_, errno));
    }
  } else {
    fd = CreateTemporary();
    if (fd < 0) return Fail(SystemError("cannot create a file beside", target_, errno));
  }
  // A replaced file keeps its mode; a new one has the umask's.
  if (targetExists_ && fchmod(fd, targetMode_ & 07777) != 0) {
    const int err = errno;
    close(fd);
    return Fail(SystemError("cannot set the permissions of", temp_.empty() ? target_ : temp_, err));
  }
  if (!stream_.Adopt(fd, temp_.empty() ? target_ : temp_)) return Fail(stream_.LastError());
  return true;
}

bool TReplacingFile::Commit() {
  if (!stream_.Close()) return Fail(stream_.LastError());
  if (unnamed_ >= 0 && !LinkUnnamed())
    return Fail(SystemError("cannot create a file beside", target_, errno));
  if (std::rename(temp_.c_str(), path_.c_str()) != 0) {
    return Fail(SystemError("cannot replace", target_, errno));
  }
  temp_.clear();
  SyncFolder();
  return true;
}

std::string TReplacingFile::Folder() const {
  const size_t slash = path_.rfind('/');
  return slash == std::string::npos ? "." : path_.substr(0, slash + 1);
}

// Makes the rename itself durable; a folder that cannot be synced leaves the
// file complete anyway, so this is best effort.
void TReplacingFile::SyncFolder() const {
  const int fd = open(Folder().c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

void TReplacingFile::Discard() {
  stream_.Close();
  if (unnamed_ >= 0) close(unnamed_);
  unnamed_ = -1;
  if (temp_.empty()) return;
  unlink(temp_.c_str());
  temp_.clear();
}

// Writing past the process's file-size limit raises SIGXFSZ, whose default
// action ends the process and leaves the temporary file behind. While a
// guard lives the signal is blocked on this thread, so the write fails with
// EFBIG and the save cleans up; a SIGXFSZ the save raised is taken back
// before the thread's mask is restored, so it is never delivered later.
class TFileSizeSignalGuard {
 public:
  TFileSizeSignalGuard() {
    sigemptyset(&signal_);
    sigaddset(&signal_, SIGXFSZ);
    pthread_sigmask(SIG_BLOCK, &signal_, &saved_);
    wasPending_ = Pending();
  }
  ~TFileSizeSignalGuard() {
    if (!wasPending_ && !sigismember(&saved_, SIGXFSZ) && Pending()) {
      const timespec noWait{0, 0};
      sigtimedwait(&signal_, nullptr, &noWait);
    }
    pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
  }
  TFileSizeSignalGuard(const TFileSizeSignalGuard&) = delete;
  TFileSizeSignalGuard& operator=(const TFileSizeSignalGuard&) = delete;

 private:
  static bool Pending() {
    sigset_t pending;
    return sigpending(&pending) == 0 && sigismember(&pending, SIGXFSZ) == 1;
  }

  sigset_t signal_;
  sigset_t saved_;
  bool wasPending_ = false;
};

}  // namespace

TXLSWorkbook::TXLSWorkbook()
    : XLSImplements<IXLSWorkBook>(false),
      protect_(std::make_unique<TXLSProtect>()),
      names_(std::make_unique<TXLSDefinedNames>()),
      xfList_(std::make_unique<TXLSXFList>()),
      sheets_(std::make_unique<TXLSWorkSheets>(*this)) {
  ResetEncoders();
  xfList_->CreateDefault();
  palette_.SetPaletteXL97();
}

void TXLSWorkbook::ResetEncoders() {
  textEncoder_ = std::make_unique<TXLSTextEncoder>(codePage_, utf8Texts_);
  recordEncoder_ = MakeRecordEncoder(fileFormat_, textEncoder_.get());
}

namespace {

// The first conditional format of the workbook as "Sheet!A1:B4"; empty
// when there is none. BIFF5 has no records for them.
std::string FirstConditionalFormat(TXLSWorkSheets& sheets) {
  for (int32_t i = 1; i <= sheets.GetCount(); ++i) {
    TXLSWorksheet* sheet = sheets.GetSheet(i);
    const auto& formats = sheet->GetFormatConditions().Formats();
    if (!formats.empty()) return sheet->GetName() + "!" + ConditionalFormatAreaText(formats[0]);
  }
  return std::string();
}

}  // namespace

int32_t TXLSWorkbook::SetFileFormat(int32_t file_format) {
  if (file_format != xlExcel5 && file_format != xlExcel8) {
    lastError_ = "file format " + std::to_string(file_format) +
                 " is not one a workbook can be saved in (xlExcel5 39 or xlExcel8 56)";
    return -1;
  }
  std::unique_ptr<TXLSRecordEncoder> chosen = MakeRecordEncoder(file_format, textEncoder_.get());
  const std::string refusal = FormatRefusal(*chosen);
  if (!refusal.empty()) {
    lastError_ = refusal;
    return -1;
  }
  fileFormat_ = file_format;
  ResetEncoders();
  return 1;
}

std::string TXLSWorkbook::FormatRefusal(const TXLSRecordEncoder& chosen) const {
  const std::string rows = std::string("rows a ") + chosen.Name() +
                           " formula cannot address (1 to " +
                           std::to_string(chosen.FormulaMaxRow() + 1) + ")";
  const std::string beyond = FormulaBeyondRow(chosen.FormulaMaxRow());
  if (!beyond.empty())
    return "the formula in " + beyond + " refers to " + rows +
           "; choose the file format before adding such formulas";
  const std::string name = names_->NameBeyondRow(chosen.FormulaMaxRow());
  if (!name.empty())
    return "the name '" + name + "' refers to " + rows +
           "; choose the file format before adding such names";
  const std::string biff8Only =
      chosen.FileFormat() == xlExcel5 ? Biff8OnlyContent() : std::string();
  if (!biff8Only.empty())
    return biff8Only + " needs a BIFF8 workbook: a BIFF5 file cannot carry it";
  const std::string conditions =
      chosen.FileFormat() == xlExcel5 ? FirstConditionalFormat(*sheets_) : std::string();
  if (!conditions.empty())
    return "the conditional formats of " + conditions +
           " need a BIFF8 workbook; delete them (DeleteFormatConditions) before choosing BIFF5";
  return std::string();
}

std::string TXLSWorkbook::Biff8OnlyContent() const {
  std::string found;
  for (int32_t i = 1; found.empty() && i <= sheets_->GetCount(); ++i)
    found = sheets_->GetSheet(i)->Biff8OnlyContent();
  return found;
}

std::string TXLSWorkbook::FormulaBeyondRow(int32_t max_row) const {
  std::string found;
  for (int32_t i = 1; found.empty() && i <= sheets_->GetCount(); ++i) {
    TXLSWorksheet* sheet = sheets_->GetSheet(i);
    sheet->GetFormulas().ForEach([&](int32_t row, int32_t col, const TXLSFormula& formula) {
      if (found.empty() && FormulaLastRow(formula) > max_row)
        found = sheet->GetName() + "!" +
                EncodeCellRef(static_cast<uint16_t>(row), static_cast<uint8_t>(col));
    });
  }
  return found;
}

TXLSWorkbook::~TXLSWorkbook() {
  Close();
  // The sheets go first: their cells and ranges refer to the formatting
  // tables and to this workbook.
  sheets_.reset();
}

TXLSColor TXLSWorkbook::GetCustomColor2(int32_t index, int32_t unused) {
  return palette_.GetCustomColor2(index, unused);
}

void TXLSWorkbook::SetCustomColor(int32_t index, int32_t unused, TXLSColor color) {
  palette_.SetCustomColor(index, unused, color);
}

int32_t TXLSWorkbook::GetCustomColorIndex(TXLSColor color) const {
  return palette_.GetCustomColorIndex(color);
}

XLSPtr<IXLSWorkSheets> TXLSWorkbook::GetWorksheets() {
  return XLSPtr<IXLSWorkSheets>(sheets_.get());
}

XLSPtr<IXLSWorkSheet> TXLSWorkbook::GetActiveSheet() {
  return XLSPtr<IXLSWorkSheet>(sheets_->GetActiveSheet());
}

int32_t TXLSWorkbook::Close() {
  return 1;
}

int32_t TXLSWorkbook::ResetColors() {
  return palette_.ResetColors();
}

void TXLSWorkbook::Protect() {
  protect_->Protect("");
}

void TXLSWorkbook::Protect(const std::string& password) {
  protect_->Protect(password);
}

void TXLSWorkbook::UnProtect() {
  protect_->UnProtect("", true);
}

void TXLSWorkbook::UnProtect(const std::string& password) {
  protect_->UnProtect(password, true);
}

void TXLSWorkbook::UnProtect(const std::string& password, int32_t /*unused*/) {
  protect_->UnProtect(password, true);
}

int32_t TXLSWorkbook::SetTempDir(const std::string& /*folder*/) {
  return -1;
}

int32_t TXLSWorkbook::SetCodePage(uint16_t code_page) {
  if (!XLSIsKnownCodePage(code_page)) {
    lastError_ = "code page " + std::to_string(code_page) + " is not one a workbook can declare (" +
                 XLSKnownCodePagesText() + ")";
    return -1;
  }
  codePage_ = code_page;
  ResetEncoders();
  return 1;
}

void TXLSWorkbook::SetUtf8Texts(bool on) {
  utf8Texts_ = on;
  ResetEncoders();
}

const TXLSTextLossReport& TXLSWorkbook::GetTextLosses() const {
  return textEncoder_->GetLosses();
}

const std::string& TXLSWorkbook::GetRecordSheetName(int32_t sheet_index) const {
  const auto index = static_cast<size_t>(sheet_index - 1);
  if (sheet_index >= 1 && index < recordSheetNames_.size()) return recordSheetNames_[index];
  static const std::string kNoName;
  const TXLSWorksheet* sheet = sheets_->GetSheet(sheet_index);
  return sheet ? sheet->GetName() : kNoName;
}

size_t TXLSWorkbook::CodePageLength(const std::string& text) const {
  return textEncoder_->CodePageLength(text);
}

namespace {

// What a character a sheet name cannot hold becomes: '?' is not allowed there.
constexpr char kSheetNameReplacement = '_';

bool IsUtf8Continuation(char byte) {
  return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

}  // namespace

std::string TXLSWorkbook::StoredSheetName(const std::string& name) const {
  if (recordEncoder_->UnicodeTexts()) return std::string(textEncoder_->Utf8Form(name));
  return textEncoder_->CodePageForm(name, kSheetNameReplacement);
}

size_t TXLSWorkbook::SheetNameLength(const std::string& stored) const {
  return recordEncoder_->UnicodeTexts() ? XLSUtf16Units(stored) : stored.size();
}

uint16_t TXLSWorkbook::SheetNameCodePage() const {
  // UTF-8 keeps every ASCII byte a character of its own, as a single-byte
  // code page does.
  return recordEncoder_->UnicodeTexts() ? kDefaultCodePage : codePage_;
}

// A code page character takes at least one byte and a UTF-8 one at most four,
// so at most 4 * max_bytes bytes of UTF-8 can fit; characters are then taken
// off the end until the rest fits.
std::string TXLSWorkbook::FitText(const std::string& text, size_t max_bytes) const {
  if (!utf8Texts_) return text.substr(0, XLSFitBytes(text, max_bytes, codePage_));
  const auto characterStart = [&text](size_t end) {
    while (end > 0 && end < text.size() && IsUtf8Continuation(text[end])) --end;
    return end;
  };
  size_t end = characterStart(std::min(text.size(), 4 * max_bytes));
  while (end > 0 && CodePageLength(text.substr(0, end)) > max_bytes) end = characterStart(end - 1);
  return text.substr(0, end);
}

// Each sheet name is converted once per save, so that its losses are counted
// once although several records carry it. Renaming refuses a name another
// sheet's takes once stored, but a code page chosen after the names can still
// make two equal, which readers rename or refuse: the save fails then.
int32_t TXLSWorkbook::EncodeSheetNames() {
  recordSheetNames_.clear();
  std::unordered_map<std::string, int32_t> sheetOfKey;
  for (int32_t i = 1; i <= sheets_->GetCount(); ++i) {
    const std::string& name = sheets_->GetSheet(i)->GetName();
    recordSheetNames_.push_back(
        recordEncoder_->RecordSheetName(name, XLSMaxSheetNameLength, {name, "sheet name"}));
    const auto added = sheetOfKey.emplace(
        TXLSWorkSheets::NameKey(recordSheetNames_.back(), SheetNameCodePage()), i);
    if (!added.second)
      return Fail("the sheets '" + sheets_->GetSheet(added.first->second)->GetName() + "' and '" +
                  name + "' would have the same name in code page " + std::to_string(codePage_));
  }
  return 1;
}

// The temporary file is made first, so that a target that cannot be written
// fails before any record is built; large sheets' records spill into scratch
// space beside it while they are built. The file replaces the target only
// once it is complete on disk.
int32_t TXLSWorkbook::SaveAs(const std::string& file_name) {
  lastError_.clear();
  if (IsBlank(file_name)) return Fail("cannot save: the file name is blank");
  int32_t status = -1;
  try {
    status = SaveToFile(file_name);
  } catch (const std::bad_alloc&) {
    status = Fail("not enough memory to build the workbook");
  }
  if (status != 1) lastError_ = "cannot save '" + file_name + "': " + lastError_;
  return status;
}

int32_t TXLSWorkbook::SaveToFile(const std::string& file_name) {
  const TFileSizeSignalGuard noSizeSignal;  // outlives the files' clean-up
  TReplacingFile file(file_name);
  if (!file.Open()) return Fail(file.LastError());
  TXLSSpillFile spill(file.Folder());
  return StoreWorkbook(&spill, [this, &file]() {
    const int32_t written = WriteOle(file.Stream());
    if (written != 1) {
      // The sink's reason (e.g. a full disk) says more than the writer's.
      if (!file.StreamError().empty()) lastError_ = file.StreamError();
      return written;
    }
    return file.Commit() ? 1 : Fail(file.LastError());
  });
}

int32_t TXLSWorkbook::WriteDocument(TXLSStream& out) {
  lastError_.clear();
  return StoreWorkbook(nullptr, [this, &out]() { return WriteOle(out); });
}

int32_t TXLSWorkbook::WriteBookStream(TXLSStream& out) {
  lastError_.clear();
  return StoreWorkbook(nullptr, [this, &out]() { return WriteStream(out); });
}

template <class TWrite>
int32_t TXLSWorkbook::StoreWorkbook(TXLSSpillFile* spill, TWrite write) {
  TScopeExit freeSections([this]() { FreeSections(); });
  const int32_t status = BuildRecords(spill);
  return status == 1 ? write() : status;
}

int32_t TXLSWorkbook::BuildRecords(TXLSSpillFile* spill) {
  selectedCount_ = 0;
  if (sheets_->GetCount() == 0) sheets_->Add();
  if (sheets_->GetCount() == 0) return Fail("the workbook has no sheet");
  ResetEncoders();
  records_ = std::make_unique<TXLSRecordSection>(recordEncoder_->RecordLimit());
  if (EncodeSheetNames() != 1) return -1;
  xfList_->CreateAllReferredList();
  names_->NumberRecords();
  EvaluateWorkbookFormulas(*sheets_->GetSheet(1));
  const int32_t status = StoreSheetRecords(spill);
  return status == 1 ? StoreWorkbookRecords() : status;
}

// A sheet whose records could not all be built would end the file without
// its EOF, so a failure here fails the save.
int32_t TXLSWorkbook::StoreSheetRecords(TXLSSpillFile* spill) {
  for (int32_t i = 1; i <= sheets_->GetCount(); ++i) {
    TXLSWorksheet* sheet = sheets_->GetSheet(i);
    if (sheet->IsSelected()) ++selectedCount_;
    sheet->BeginSave(spill);
    if (sheet->StoreCells() != 1 || sheet->Close() != 1 || sheet->FlushSections() != 1) {
      if (spill && !spill->LastError().empty()) return Fail(spill->LastError());
      return Fail("the records of sheet '" + sheet->GetName() + "' could not be built");
    }
  }
  return 1;
}

int32_t TXLSWorkbook::WriteOle(TXLSStream& out) {
  uint64_t size = static_cast<uint64_t>(records_->Size()) + globalsTail_->Size();
  for (int32_t i = 1; i <= sheets_->GetCount(); ++i) {
    size += static_cast<uint64_t>(sheets_->GetSheet(i)->GetStreamSize());
  }
  TOleDocWriter writer;
  if (writer.Begin(out, recordEncoder_->StreamName(), size) != 1) return Fail(writer.LastError());
  const int32_t status = WriteStream(writer.Stream());
  if (writer.Finish() != 1) return Fail(writer.LastError());
  return status == 1 ? 1 : Fail("the stream could not be written");
}

// The workbook's records, then each sheet's header and data records.
int32_t TXLSWorkbook::WriteStream(TXLSStream& out) {
  int32_t status = records_->Write(out);
  if (status == 1) status = globalsTail_->Write(out);
  for (int32_t i = 1; status == 1 && i <= sheets_->GetCount(); ++i) {
    status = sheets_->GetSheet(i)->WriteData(out);
  }
  return status == 1 ? 1 : Fail("the stream could not be written");
}

void TXLSWorkbook::FreeSections() {
  records_.reset();
  globalsTail_.reset();
  recordSheetNames_.clear();
  for (int32_t i = 1; i <= sheets_->GetCount(); ++i) sheets_->GetSheet(i)->EndSave();
}

int32_t TXLSWorkbook::Fail(const std::string& message) {
  if (lastError_.empty()) lastError_ = message;
  return -1;
}

int32_t TXLSWorkbook::Append(TXLSBlob&& record) {
  return records_->Append(std::move(record));
}

}  // namespace tabulon
