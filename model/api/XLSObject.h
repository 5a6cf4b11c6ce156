// Reference-counted base of every class that implements one of the object
// model's interfaces, and the smart pointer that callers hold them through.
#pragma once

#include <cstdint>
#include <utility>

namespace tabulon {

/// Interface identifier. The object model's interfaces all use the all-zero
/// identifier; interfaces are obtained from the model's own operations.
struct TGUID {
  /// First 32 bits.
  uint32_t D1 = 0;
  /// Next 16 bits.
  uint16_t D2 = 0;
  /// Next 16 bits.
  uint16_t D3 = 0;
  /// Last 8 bytes.
  uint8_t D4[8] = {0, 0, 0, 0, 0, 0, 0, 0};
  /// @return Whether every part is 0 (the identifier of the model's interfaces).
  bool IsNull() const;
};

/// QueryInterface found the interface asked for.
constexpr int32_t XLS_S_OK = 0;
/// QueryInterface: the object has no interface of that identifier.
constexpr int32_t XLS_E_NOINTERFACE = static_cast<int32_t>(0x80004002u);

/// The three counting slots every interface begins with.
class IXLSUnknown {
 public:
  /// Interfaces are handles: assigning through them is never meaningful.
  IXLSUnknown& operator=(const IXLSUnknown&) = delete;

  /// Hands out this object's interface for the all-zero identifier.
  /// @param iid The identifier; only the all-zero one is known.
  /// @param out Receives the interface (with one reference added) or null.
  /// @return XLS_S_OK, or XLS_E_NOINTERFACE for another identifier.
  virtual int32_t QueryInterface(const TGUID& iid, void** out) = 0;
  /// Adds a reference. XLSPtr calls this; callers need not.
  /// @return The new count; -1 for objects the workbook owns.
  virtual int32_t _AddRef() = 0;
  /// Drops a reference; a counted object frees itself at the last one. XLSPtr
  /// calls this; callers need not.
  /// @return The new count; -1 for objects the workbook owns.
  virtual int32_t _Release() = 0;

 protected:
  ~IXLSUnknown() = default;
};

/// Counted objects free themselves at the last release; owned objects (the
/// workbook, its sheets, their collection and page setup) keep counting but
/// answer -1 and are freed only by their owner. An object may pass every
/// reference it gains and loses on to an anchor (a range and a page setup to
/// their worksheet), so the anchor's count says whether anything of it is
/// still held.
class TXLSObject {
 public:
  /// @param counted true: freed at the last release; false: owned, freed by its owner.
  explicit TXLSObject(bool counted) : counted_(counted) {}
  TXLSObject(const TXLSObject&) = delete;
  TXLSObject& operator=(const TXLSObject&) = delete;
  virtual ~TXLSObject() = default;

  /// @return The new reference count, or -1 for an owned object.
  int32_t AddRefImpl();
  /// Drops a reference and frees a counted object at the last one.
  /// @return The new reference count, or -1 for an owned object.
  int32_t ReleaseImpl();
  /// @return References held now.
  int32_t GetRefCount() const { return refCount_; }
  /// @return Whether the object frees itself at its last release.
  bool IsCounted() const { return counted_; }

 protected:
  /// Answers this object's single interface for the all-zero identifier.
  int32_t QueryInterfaceImpl(const TGUID& iid, void** out, IXLSUnknown* self);
  /// @param counted Whether the object frees itself at its last release.
  void SetCounted(bool counted) { counted_ = counted; }
  /// Every later AddRef and Release of this object also counts on anchor,
  /// which must outlive it.
  /// @param anchor the object whose count includes this one's, or nullptr.
  void SetAnchor(TXLSObject* anchor) { anchor_ = anchor; }

 private:
  int32_t refCount_ = 0;
  bool counted_;
  TXLSObject* anchor_ = nullptr;
};

/// Implements the three counting slots of interface I on top of TXLSObject.
/// Each implementing class derives from XLSImplements<ItsInterface>.
template <class I>
class XLSImplements : public TXLSObject, public I {
 public:
  /// @param counted As for TXLSObject.
  explicit XLSImplements(bool counted) : TXLSObject(counted) {}
  /// Answers IXLSUnknown::QueryInterface for the implemented interface.
  /// @param iid The identifier; only the all-zero one is known.
  /// @param out Receives the interface or null.
  /// @return XLS_S_OK or XLS_E_NOINTERFACE.
  int32_t QueryInterface(const TGUID& iid, void** out) override {
    return QueryInterfaceImpl(iid, out, static_cast<I*>(this));
  }
  /// @return The new count; -1 for an owned object.
  int32_t _AddRef() override { return AddRefImpl(); }
  /// @return The new count; -1 for an owned object.
  int32_t _Release() override { return ReleaseImpl(); }
};

/// Holds one interface reference: adds it on copy, releases it on
/// destruction, so a caller never leaks a range or its companions.
template <class I>
class XLSPtr {
 public:
  XLSPtr() = default;
  /// An empty pointer.
  XLSPtr(std::nullptr_t) {}
  /// Takes a new reference to p.
  explicit XLSPtr(I* p) : ptr_(p) {
    if (ptr_) ptr_->_AddRef();
  }
  /// Shares other's interface, adding a reference.
  /// @param other The pointer to copy.
  XLSPtr(const XLSPtr& other) : XLSPtr(other.ptr_) {}
  /// Takes other's reference over; other becomes empty.
  /// @param other The pointer to move from.
  XLSPtr(XLSPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
  template <class J>
  /// Converts from a pointer to a derived interface (IXLSBorders to IXLSBorder),
  /// adding a reference.
  /// @param other The pointer to convert.
  XLSPtr(const XLSPtr<J>& other) : XLSPtr(static_cast<I*>(other.get())) {}
  ~XLSPtr() { reset(); }

  /// Replaces the held interface, releasing the old one.
  /// @param other The new value (copied or moved in).
  /// @return This pointer.
  XLSPtr& operator=(XLSPtr other) noexcept {
    std::swap(ptr_, other.ptr_);
    return *this;
  }

  /// Releases the held interface; the pointer becomes empty.
  void reset() {
    if (I* p = std::exchange(ptr_, nullptr)) p->_Release();
  }
  /// @return The interface, or null; no reference is added.
  I* get() const { return ptr_; }
  /// @return The interface, to call its methods.
  I* operator->() const { return ptr_; }
  /// @return The interface; the pointer must not be empty.
  I& operator*() const { return *ptr_; }
  /// @return Whether an interface is held.
  explicit operator bool() const { return ptr_ != nullptr; }
  /// @param a One pointer.
  /// @param b The other.
  /// @return Whether both hold the same object.
  friend bool operator==(const XLSPtr& a, const XLSPtr& b) { return a.ptr_ == b.ptr_; }
  /// @param a One pointer.
  /// @param b The other.
  /// @return Whether they hold different objects.
  friend bool operator!=(const XLSPtr& a, const XLSPtr& b) { return a.ptr_ != b.ptr_; }

 private:
  I* ptr_ = nullptr;
};

}  // namespace tabulon
