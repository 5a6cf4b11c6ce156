#include <gtest/gtest.h>

#include "XLSObject.h"

namespace tabulon {
namespace {

class IProbe : public IXLSUnknown {
 public:
  virtual int Answer() = 0;
};

class TProbe : public XLSImplements<IProbe> {
 public:
  TProbe(bool counted, int* destroyed) : XLSImplements(counted), destroyed_(destroyed) {}
  ~TProbe() override { ++*destroyed_; }
  int Answer() override { return 42; }

 private:
  int* destroyed_;
};

TEST(ReferenceCounting, CountedObjectFreesItselfAtLastRelease) {
  int destroyed = 0;
  auto* probe = new TProbe(true, &destroyed);
  EXPECT_EQ(probe->_AddRef(), 1);
  EXPECT_EQ(probe->_AddRef(), 2);
  EXPECT_EQ(probe->_Release(), 1);
  EXPECT_EQ(destroyed, 0);
  EXPECT_EQ(probe->_Release(), 0);
  EXPECT_EQ(destroyed, 1);
}

TEST(ReferenceCounting, OwnedObjectAnswersMinusOneAndSurvives) {
  int destroyed = 0;
  TProbe probe(false, &destroyed);
  EXPECT_EQ(probe._AddRef(), -1);
  EXPECT_EQ(probe._Release(), -1);
  EXPECT_EQ(probe._Release(), -1);
  EXPECT_EQ(probe.GetRefCount(), -1);  // the count still moves
  EXPECT_EQ(destroyed, 0);
}

TEST(ReferenceCounting, QueryInterfaceMatchesOnlyTheZeroIdentifier) {
  int destroyed = 0;
  TProbe probe(false, &destroyed);
  void* out = nullptr;
  EXPECT_EQ(probe.QueryInterface(TGUID{}, &out), XLS_S_OK);
  EXPECT_EQ(out, static_cast<IProbe*>(&probe));
  EXPECT_EQ(probe.GetRefCount(), 1);
  // The standard identifier of the base interface is not in the table.
  TGUID unknown{0, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
  EXPECT_EQ(probe.QueryInterface(unknown, &out), XLS_E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
}

TEST(XLSPtrHolder, AddsAndReleasesReferences) {
  int destroyed = 0;
  {
    XLSPtr<IProbe> a(new TProbe(true, &destroyed));
    XLSPtr<IProbe> b = a;
    XLSPtr<IProbe> c = std::move(b);
    EXPECT_FALSE(b);
    EXPECT_EQ(c->Answer(), 42);
    a.reset();
    EXPECT_EQ(destroyed, 0);
  }
  EXPECT_EQ(destroyed, 1);
}

}  // namespace
}  // namespace tabulon
