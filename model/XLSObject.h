// Reference-counted base of every class that implements one of the object
// model's interfaces, and the smart pointer that callers hold them through.
#pragma once

#include <cstdint>
#include <utility>

namespace tabulon {

// Interface identifier. The object model's interfaces all use the all-zero
// identifier; interfaces are obtained from the model's own operations.
struct TGUID {
  uint32_t D1 = 0;
  uint16_t D2 = 0;
  uint16_t D3 = 0;
  uint8_t D4[8] = {0, 0, 0, 0, 0, 0, 0, 0};
  bool IsNull() const;
};

constexpr int32_t XLS_S_OK = 0;
constexpr int32_t XLS_E_NOINTERFACE = static_cast<int32_t>(0x80004002u);

// The three counting slots every interface begins with.
class IXLSUnknown {
 public:
  // Interfaces are handles: assigning through them is never meaningful.
  IXLSUnknown& operator=(const IXLSUnknown&) = delete;

  virtual int32_t QueryInterface(const TGUID& iid, void** out) = 0;
  virtual int32_t _AddRef() = 0;
  virtual int32_t _Release() = 0;

 protected:
  ~IXLSUnknown() = default;
};

// Counted objects free themselves at the last release; owned objects (the
// workbook, its sheets, their collection and page setup) keep counting but
// answer -1 and are freed only by their owner. An object may pass every
// reference it gains and loses on to an anchor (a range and a page setup to
// their worksheet), so the anchor's count says whether anything of it is
// still held.
class TXLSObject {
 public:
  explicit TXLSObject(bool counted) : Counted(counted) {}
  TXLSObject(const TXLSObject&) = delete;
  TXLSObject& operator=(const TXLSObject&) = delete;
  virtual ~TXLSObject() = default;

  int32_t AddRefImpl();
  int32_t ReleaseImpl();
  int32_t GetRefCount() const { return RefCount; }
  bool IsCounted() const { return Counted; }

 protected:
  // Answers this object's single interface for the all-zero identifier.
  int32_t QueryInterfaceImpl(const TGUID& iid, void** out, IXLSUnknown* self);
  void SetCounted(bool counted) { Counted = counted; }
  /// Every later AddRef and Release of this object also counts on anchor,
  /// which must outlive it.
  /// @param anchor the object whose count includes this one's, or nullptr.
  void SetAnchor(TXLSObject* anchor) { Anchor = anchor; }

 private:
  int32_t RefCount = 0;
  bool Counted;
  TXLSObject* Anchor = nullptr;
};

// Implements the three counting slots of interface I on top of TXLSObject.
// Each implementing class derives from XLSImplements<ItsInterface>.
template <class I>
class XLSImplements : public TXLSObject, public I {
 public:
  explicit XLSImplements(bool counted) : TXLSObject(counted) {}
  int32_t QueryInterface(const TGUID& iid, void** out) override {
    return QueryInterfaceImpl(iid, out, static_cast<I*>(this));
  }
  int32_t _AddRef() override { return AddRefImpl(); }
  int32_t _Release() override { return ReleaseImpl(); }
};

// Holds one interface reference: adds it on copy, releases it on
// destruction, so a caller never leaks a range or its companions.
template <class I>
class XLSPtr {
 public:
  XLSPtr() = default;
  XLSPtr(std::nullptr_t) {}
  // Takes a new reference to p.
  explicit XLSPtr(I* p) : ptr_(p) {
    if (ptr_) ptr_->_AddRef();
  }
  XLSPtr(const XLSPtr& other) : XLSPtr(other.ptr_) {}
  XLSPtr(XLSPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
  template <class J>
  XLSPtr(const XLSPtr<J>& other) : XLSPtr(static_cast<I*>(other.get())) {}
  ~XLSPtr() { reset(); }

  XLSPtr& operator=(XLSPtr other) noexcept {
    std::swap(ptr_, other.ptr_);
    return *this;
  }

  void reset() {
    if (I* p = std::exchange(ptr_, nullptr)) p->_Release();
  }
  I* get() const { return ptr_; }
  I* operator->() const { return ptr_; }
  I& operator*() const { return *ptr_; }
  explicit operator bool() const { return ptr_ != nullptr; }
  friend bool operator==(const XLSPtr& a, const XLSPtr& b) { return a.ptr_ == b.ptr_; }
  friend bool operator!=(const XLSPtr& a, const XLSPtr& b) { return a.ptr_ != b.ptr_; }

 private:
  I* ptr_ = nullptr;
};

}  // namespace tabulon
