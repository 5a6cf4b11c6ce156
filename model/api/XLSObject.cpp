#include "XLSObject.h"

namespace tabulon {

bool TGUID::IsNull() const {
  if (D1 != 0 || D2 != 0 || D3 != 0) return false;
  for (uint8_t b : D4)
    if (b != 0) return false;
  return true;
}

int32_t TXLSObject::AddRefImpl() {
  ++refCount_;
  if (anchor_) anchor_->AddRefImpl();
  return counted_ ? refCount_ : -1;
}

// The anchor is released last: it may free itself and, with it, this object.
int32_t TXLSObject::ReleaseImpl() {
  --refCount_;
  TXLSObject* const anchor = anchor_;
  int32_t answer = -1;
  if (counted_) {
    answer = refCount_;
    if (answer == 0) delete this;
  }
  if (anchor) anchor->ReleaseImpl();
  return answer;
}

int32_t TXLSObject::QueryInterfaceImpl(const TGUID& iid, void** out, IXLSUnknown* self) {
  if (!out) return XLS_E_NOINTERFACE;
  if (!iid.IsNull()) {
    *out = nullptr;
    return XLS_E_NOINTERFACE;
  }
  self->_AddRef();
  *out = self;
  return XLS_S_OK;
}

}  // namespace tabulon
