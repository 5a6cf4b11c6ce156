#include "XLSObject.h"

namespace tabulon {

bool TGUID::IsNull() const {
  if (D1 != 0 || D2 != 0 || D3 != 0) return false;
  for (uint8_t b : D4)
    if (b != 0) return false;
  return true;
}

int32_t TXLSObject::AddRefImpl() {
  ++RefCount;
  return Counted ? RefCount : -1;
}

int32_t TXLSObject::ReleaseImpl() {
  --RefCount;
  if (!Counted) return -1;
  const int32_t remaining = RefCount;
  if (remaining == 0) delete this;
  return remaining;
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
