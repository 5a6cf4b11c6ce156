#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "OleVariant.h"

namespace tabulon {
namespace {

TEST(VariantConstruction, FactoriesCarryTheHostTypeCodes) {
  EXPECT_EQ(VarType(OleVariant()), varEmpty);
  EXPECT_EQ(VarType(OleVariant::Empty()), varEmpty);
  EXPECT_EQ(VarType(OleVariant::Null()), varNull);
  EXPECT_EQ(VarType(OleVariant::ShortInt(-5)), varShortInt);
  EXPECT_EQ(VarType(OleVariant::Byte(200)), varByte);
  EXPECT_EQ(VarType(OleVariant::Smallint(-300)), varSmallint);
  EXPECT_EQ(VarType(OleVariant::Word(60000)), varWord);
  EXPECT_EQ(VarType(OleVariant::Integer(7)), varInteger);
  EXPECT_EQ(VarType(OleVariant::LongWord(4000000000u)), varLongWord);
  EXPECT_EQ(VarType(OleVariant::Int64(1)), varInt64);
  EXPECT_EQ(VarType(OleVariant::Single(1.5f)), varSingle);
  EXPECT_EQ(VarType(OleVariant::Double(1.5)), varDouble);
  EXPECT_EQ(VarType(OleVariant::Currency(1.5)), varCurrency);
  EXPECT_EQ(VarType(OleVariant::Date(1.5)), varDate);
  EXPECT_EQ(VarType(OleVariant::OleStr("a")), varOleStr);
  EXPECT_EQ(VarType(OleVariant::ByteString("a")), varString);
  EXPECT_EQ(VarType(OleVariant::Error(5)), varError);
  EXPECT_EQ(VarType(OleVariant::Boolean(true)), varBoolean);
  EXPECT_EQ(VarType(VarArrayOf({1})), varArray | varVariant);
}

TEST(VariantConstruction, UnsignedValuesKeepTheirMagnitude) {
  EXPECT_EQ(OleVariant::LongWord(4000000000u).ToInt64(), 4000000000LL);
  EXPECT_EQ(OleVariant::Byte(200).ToInt(), 200);
  EXPECT_EQ(OleVariant::ShortInt(-5).ToInt(), -5);
}

TEST(VariantConstruction, StaysCompact) {
  EXPECT_LE(sizeof(OleVariant), 16u);
}

TEST(VariantKinds, IntegerNumericAndStringClassesFollowTheTypeCode) {
  EXPECT_TRUE(VarIsInteger(OleVariant::Word(7)));
  EXPECT_TRUE(VarIsInteger(OleVariant::Int64(-7)));
  EXPECT_FALSE(VarIsInteger(OleVariant(7.0)));
  EXPECT_FALSE(VarIsInteger(OleVariant(true)));
  EXPECT_FALSE(VarIsInteger(OleVariant("7")));
  EXPECT_TRUE(VarIsNumeric(OleVariant(7.5)));
  EXPECT_FALSE(VarIsNumeric(OleVariant::Date(1)));
  EXPECT_TRUE(VarIsStr(OleVariant::ByteString("x")));
}

TEST(VariantImplicit, FromTheFiveCommonTypes) {
  OleVariant fromInt = 42;
  OleVariant fromDouble = 2.5;
  OleVariant fromBool = true;
  OleVariant fromLiteral = "text";
  OleVariant fromString = std::string("more");
  EXPECT_EQ(VarType(fromInt), varInteger);
  EXPECT_EQ(VarType(fromDouble), varDouble);
  EXPECT_EQ(VarType(fromBool), varBoolean);
  EXPECT_EQ(VarType(fromLiteral), varOleStr);  // not decayed to bool
  EXPECT_EQ(VarType(fromString), varOleStr);
  EXPECT_EQ(fromLiteral.ToString(), "text");
}

TEST(VariantImplicit, OtherIntegerWidthsMapToTheirCodes) {
  EXPECT_EQ(VarType(OleVariant(int64_t{1})), varInt64);
  EXPECT_EQ(VarType(OleVariant(uint32_t{1})), varLongWord);
  EXPECT_EQ(VarType(OleVariant(int16_t{1})), varSmallint);
  EXPECT_EQ(VarType(OleVariant(uint8_t{1})), varByte);
  EXPECT_EQ(VarType(OleVariant(1.0f)), varSingle);
}

TEST(VariantToNumber, NumbersConvertAmongThemselves) {
  EXPECT_DOUBLE_EQ(OleVariant(3).ToDouble(), 3.0);
  EXPECT_DOUBLE_EQ(OleVariant::Currency(12.3456).ToDouble(), 12.3456);
  EXPECT_DOUBLE_EQ(OleVariant::Date(45000.25).ToDouble(), 45000.25);
  EXPECT_EQ(OleVariant::CurrencyFromScaled(25000).ToInt(), 2);  // 2.5 ties to even
  EXPECT_EQ(OleVariant::CurrencyFromScaled(35001).ToInt(), 4);
  EXPECT_EQ(OleVariant::CurrencyFromScaled(-25000).ToInt(), -2);
  EXPECT_EQ(OleVariant(7).ToCurrencyScaled(), 70000);
  EXPECT_EQ(OleVariant(0.00005).ToCurrencyScaled(), 0);  // 0.5 scaled: ties to even
  EXPECT_DOUBLE_EQ(OleVariant(1.23456).ToCurrency(), 1.2346);
}

TEST(VariantToNumber, BooleansAndEmpty) {
  EXPECT_EQ(OleVariant(true).ToInt(), -1);
  EXPECT_EQ(OleVariant(false).ToInt(), 0);
  EXPECT_DOUBLE_EQ(OleVariant(true).ToDouble(), -1.0);
  EXPECT_EQ(OleVariant().ToInt(), 0);
  EXPECT_DOUBLE_EQ(OleVariant().ToDouble(), 0.0);
  EXPECT_EQ(OleVariant().ToString(), "");
  EXPECT_FALSE(OleVariant().ToBool());
}

TEST(VariantToNumber, StringsThatParseFully) {
  EXPECT_DOUBLE_EQ(OleVariant(" 12.5 ").ToDouble(), 12.5);
  EXPECT_DOUBLE_EQ(OleVariant("-1e3").ToDouble(), -1000.0);
  EXPECT_DOUBLE_EQ(OleVariant("+.5").ToDouble(), 0.5);
  EXPECT_EQ(OleVariant("42").ToInt(), 42);
  EXPECT_EQ(OleVariant("2.5").ToInt(), 2);
  // Integer text is exact beyond the precision of a double.
  EXPECT_EQ(OleVariant("9007199254740993").ToInt64(), 9007199254740993LL);
}

TEST(VariantToInt, RoundsHalfToEven) {
  EXPECT_EQ(OleVariant(0.5).ToInt(), 0);
  EXPECT_EQ(OleVariant(1.5).ToInt(), 2);
  EXPECT_EQ(OleVariant(2.5).ToInt(), 2);
  EXPECT_EQ(OleVariant(3.5).ToInt(), 4);
  EXPECT_EQ(OleVariant(-0.5).ToInt(), 0);
  EXPECT_EQ(OleVariant(-1.5).ToInt(), -2);
  EXPECT_EQ(OleVariant(-2.5).ToInt(), -2);
  EXPECT_EQ(OleVariant(2.4999999).ToInt(), 2);
  EXPECT_EQ(OleVariant(2.5000001).ToInt(), 3);
  EXPECT_EQ(OleVariant(-2147483648.4).ToInt(), std::numeric_limits<int32_t>::min());
}

TEST(VariantToBool, NumbersWordsAndNumericText) {
  EXPECT_TRUE(OleVariant(2).ToBool());
  EXPECT_FALSE(OleVariant(0.0).ToBool());
  EXPECT_TRUE(OleVariant("TRUE").ToBool());
  EXPECT_FALSE(OleVariant(" false ").ToBool());
  EXPECT_TRUE(OleVariant("-1").ToBool());
  EXPECT_FALSE(OleVariant("0").ToBool());
}

TEST(VariantToString, NumbersBooleansAndCurrency) {
  EXPECT_EQ(OleVariant(-17).ToString(), "-17");
  EXPECT_EQ(OleVariant(0.5).ToString(), "0.5");
  EXPECT_EQ(OleVariant(12345.678).ToString(), "12345.678");
  EXPECT_EQ(OleVariant(0.1 + 0.2).ToString(), "0.3");  // 15 significant digits
  EXPECT_EQ(OleVariant(1e20).ToString(), "1E+20");
  EXPECT_EQ(OleVariant(1.5e-7).ToString(), "1.5E-7");
  EXPECT_EQ(OleVariant(-0.0).ToString(), "0");
  EXPECT_EQ(OleVariant(0.1f).ToString(), "0.1");
  EXPECT_EQ(OleVariant(true).ToString(), "True");
  EXPECT_EQ(OleVariant(false).ToString(), "False");
  EXPECT_EQ(OleVariant::CurrencyFromScaled(15000).ToString(), "1.5");
  EXPECT_EQ(OleVariant::CurrencyFromScaled(-1).ToString(), "-0.0001");
  EXPECT_EQ(OleVariant::CurrencyFromScaled(std::numeric_limits<int64_t>::min()).ToString(),
            "-922337203685477.5808");
  EXPECT_EQ(OleVariant::ByteString("bytes").ToString(), "bytes");
}

TEST(VariantToString, DatesAreIsoLike) {
  EXPECT_EQ(OleVariant::Date(0).ToString(), "1899-12-30");
  EXPECT_EQ(OleVariant::Date(1).ToString(), "1899-12-31");
  EXPECT_EQ(OleVariant::Date(60).ToString(), "1900-02-28");
  EXPECT_EQ(OleVariant::Date(45292.75).ToString(), "2024-01-01 18:00:00");
  EXPECT_EQ(OleVariant::Date(-1.25).ToString(), "1899-12-29 06:00:00");
  // A time that rounds up to midnight belongs to the next day.
  EXPECT_EQ(OleVariant::Date(45292.9999999999).ToString(), "2024-01-02");
  EXPECT_EQ(OleVariant::Date(2958465).ToString(), "9999-12-31");
}

// Each failure must be a EVariantError naming both types, never a crash.
void ExpectConversionFails(const OleVariant& v) {
  EXPECT_THROW(v.ToDouble(), EVariantError);
  EXPECT_THROW(v.ToInt(), EVariantError);
  EXPECT_THROW(v.ToInt64(), EVariantError);
  EXPECT_THROW(v.ToCurrency(), EVariantError);
}

TEST(VariantConversionFailure, NullArraysErrorsAndBadText) {
  for (const OleVariant& v :
       {OleVariant::Null(), VarArrayOf({1}), OleVariant::Error(1), OleVariant("12abc"),
        OleVariant(""), OleVariant("1,5"), OleVariant("inf"), OleVariant("nan"), OleVariant("0x10"),
        OleVariant("+-1"), OleVariant("1e999")}) {
    SCOPED_TRACE(VarType(v));
    ExpectConversionFails(v);
    EXPECT_THROW(v.ToBool(), EVariantError);
  }
  EXPECT_THROW(OleVariant::Null().ToString(), EVariantError);
  EXPECT_THROW(VarArrayOf({1}).ToString(), EVariantError);
  EXPECT_THROW(OleVariant::Error(1).ToString(), EVariantError);
}

TEST(VariantConversionFailure, OutOfRangeAndNonFinite) {
  for (double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL, 1e300}) {
    EXPECT_THROW(OleVariant(bad).ToInt(), EVariantError);
    EXPECT_THROW(OleVariant(bad).ToInt64(), EVariantError);
    EXPECT_THROW(OleVariant(bad).ToCurrency(), EVariantError);
  }
  EXPECT_THROW(OleVariant(2147483647.5).ToInt(), EVariantError);  // rounds to 2^31
  EXPECT_THROW(OleVariant(9223372036854775808.0).ToInt64(), EVariantError);
  EXPECT_THROW(OleVariant(int64_t{1} << 40).ToInt(), EVariantError);
  EXPECT_THROW(OleVariant::LongWord(4000000000u).ToInt(), EVariantError);
  EXPECT_THROW(OleVariant("99999999999").ToInt(), EVariantError);
  EXPECT_THROW(OleVariant(std::numeric_limits<int64_t>::max()).ToCurrency(), EVariantError);
  EXPECT_THROW(OleVariant::Currency(1e300), EVariantError);
  EXPECT_THROW(OleVariant::Date(std::nan("")).ToString(), EVariantError);
  EXPECT_THROW(OleVariant::Date(3e6).ToString(), EVariantError);
}

TEST(VariantConversionFailure, MessageNamesSourceAndTarget) {
  try {
    OleVariant("abc").ToDouble();
    FAIL() << "no exception";
  } catch (const EVariantError& e) {
    EXPECT_STREQ(e.what(), "Could not convert variant of type (OleStr) into type (Double)");
  }
}

TEST(VariantArray, OneDimensionWithLowerBoundOne) {
  OleVariant a = VarArrayCreate({1, 3});
  EXPECT_TRUE(VarIsArray(a));
  EXPECT_EQ(a.DimCount(), 1);
  EXPECT_EQ(a.LowBound(1), 1);
  EXPECT_EQ(a.HighBound(1), 3);
  EXPECT_TRUE(VarIsEmpty(a.GetElement({2})));
  a.PutElement({3}, "last");
  EXPECT_EQ(a.GetElement({3}).ToString(), "last");
  EXPECT_THROW(a.GetElement({0}), EVariantError);
  EXPECT_THROW(a.GetElement({4}), EVariantError);
  EXPECT_THROW(a.PutElement({1, 1}, 1), EVariantError);
  EXPECT_THROW(a.LowBound(2), EVariantError);
  EXPECT_THROW(a.HighBound(0), EVariantError);
}

TEST(VariantArray, VarArrayOfStartsAtZero) {
  OleVariant a = VarArrayOf({1, "two", 3.0});
  EXPECT_EQ(a.LowBound(1), 0);
  EXPECT_EQ(a.HighBound(1), 2);
  EXPECT_EQ(a.GetElement({1}).ToString(), "two");
  OleVariant none = VarArrayOf({});
  EXPECT_EQ(none.HighBound(1), -1);
  EXPECT_THROW(none.GetElement({0}), EVariantError);
}

TEST(VariantArray, TwoDimensionsWithNegativeBounds) {
  OleVariant a = VarArrayCreate({-1, 1, 5, 6});
  EXPECT_EQ(a.DimCount(), 2);
  EXPECT_EQ(a.LowBound(1), -1);
  EXPECT_EQ(a.HighBound(2), 6);
  for (int i = -1; i <= 1; ++i) {
    for (int j = 5; j <= 6; ++j) a.PutElement({i, j}, i * 10 + j);
  }
  for (int i = -1; i <= 1; ++i) {
    for (int j = 5; j <= 6; ++j) EXPECT_EQ(a.GetElement({i, j}).ToInt(), i * 10 + j);
  }
  EXPECT_THROW(a.GetElement({0}), EVariantError);
  EXPECT_THROW(a.GetElement({2, 5}), EVariantError);
  EXPECT_THROW(a.GetElement({0, 7}), EVariantError);
}

TEST(VariantArray, BadShapesAndNonArrays) {
  EXPECT_THROW(VarArrayCreate({0}), EVariantError);
  EXPECT_THROW(VarArrayCreate({0, 1, 0, 1, 0, 1}), EVariantError);
  EXPECT_THROW(VarArrayCreate({5, 3}), EVariantError);
  EXPECT_THROW(VarArrayCreate({0, 100000, 0, 100000}), EVariantError);
  OleVariant scalar = 1;
  EXPECT_EQ(scalar.DimCount(), 0);
  EXPECT_FALSE(VarIsArray(scalar));
  EXPECT_THROW(scalar.GetElement({0}), EVariantError);
  EXPECT_THROW(scalar.PutElement({0}, 1), EVariantError);
  EXPECT_THROW(scalar.LowBound(1), EVariantError);
}

TEST(VariantCopy, CopiesAreIndependent) {
  OleVariant original = VarArrayOf({1, VarArrayOf({"inner"})});
  OleVariant copy = original;
  copy.PutElement({0}, 99);
  OleVariant inner = copy.GetElement({1});
  inner.PutElement({0}, "changed");
  copy.PutElement({1}, inner);
  EXPECT_EQ(original.GetElement({0}).ToInt(), 1);
  EXPECT_EQ(original.GetElement({1}).GetElement({0}).ToString(), "inner");

  OleVariant text = "abc";
  OleVariant other = "zzz";
  other = text;
  text = 5;
  EXPECT_EQ(other.ToString(), "abc");
}

TEST(VariantCopy, MoveLeavesSourceEmptyAndSelfAssignmentIsSafe) {
  OleVariant source = VarArrayOf({1, 2});
  OleVariant target = std::move(source);
  EXPECT_TRUE(VarIsEmpty(source));  // NOLINT(bugprone-use-after-move)
  EXPECT_EQ(target.HighBound(1), 1);
  OleVariant& alias = target;
  target = alias;
  EXPECT_EQ(target.GetElement({1}).ToInt(), 2);
  target.PutElement({0}, target);  // an array may hold a copy of itself
  EXPECT_EQ(target.GetElement({0}).GetElement({1}).ToInt(), 2);
}

// Short strings are kept inside the variant, longer ones on the heap: every
// copy, move and comparison has to hold across that boundary, both ways.
TEST(VariantText, ShortAndLongStringsSurviveCopiesMovesAndReassignment) {
  const std::vector<std::string> texts = {
      "", "a", "1234567", "12345678", "123456789", std::string(300, 'x'), std::string("a\0b", 3)};
  for (const std::string& text : texts) {
    OleVariant original(text);
    EXPECT_EQ(original.TextView(), text);
    OleVariant copy = original;
    OleVariant moved = std::move(copy);
    EXPECT_TRUE(VarIsEmpty(copy));  // NOLINT(bugprone-use-after-move)
    EXPECT_EQ(moved.ToString(), text);
    EXPECT_EQ(moved, original);
    for (const std::string& other : texts) {
      OleVariant target(other);
      target = original;
      EXPECT_EQ(target.TextView(), text);
      target = OleVariant::ByteString(other);
      EXPECT_EQ(VarType(target), varString);
      EXPECT_EQ(target.TextView(), other);
      EXPECT_EQ(Compare(target, original) == 0, other == text);
    }
    EXPECT_EQ(original.TextView(), text);
  }
  OleVariant number("12345678");
  EXPECT_EQ(number.ToInt(), 12345678);
  EXPECT_EQ(OleVariant(" 2.5 ").ToDouble(), 2.5);
  EXPECT_TRUE(OleVariant("TRUE").ToBool());
  EXPECT_THROW(OleVariant(7).TextView(), EVariantError);
}

TEST(VariantMissing, MarksAbsentArguments) {
  OleVariant missing = OleVariant::Missing();
  EXPECT_EQ(VarType(missing), varError);
  EXPECT_TRUE(VarIsMissing(missing));
  EXPECT_FALSE(VarIsMissing(OleVariant::Error(0)));
  EXPECT_FALSE(VarIsMissing(OleVariant()));
  EXPECT_FALSE(VarIsMissing(OleVariant::Null()));
  EXPECT_EQ(OleVariant::Missing(), OleVariant::Error(static_cast<int32_t>(0x80020004u)));
}

TEST(VariantComparison, Equality) {
  EXPECT_EQ(OleVariant(3), OleVariant(3.0));
  EXPECT_EQ(OleVariant(3), OleVariant::Byte(3));
  EXPECT_EQ(OleVariant::Currency(2.5), OleVariant(2.5));
  EXPECT_EQ(OleVariant("a"), OleVariant::ByteString("a"));
  EXPECT_EQ(OleVariant::Null(), OleVariant::Null());
  EXPECT_NE(OleVariant(), OleVariant::Null());
  EXPECT_NE(OleVariant(1), OleVariant("1"));
  EXPECT_NE(OleVariant(true), OleVariant(-1));
  EXPECT_NE(OleVariant(std::nan("")), OleVariant(std::nan("")));
  EXPECT_EQ(OleVariant(int64_t{9007199254740993LL}), OleVariant(int64_t{9007199254740993LL}));
  EXPECT_NE(OleVariant(int64_t{9007199254740993LL}), OleVariant(int64_t{9007199254740992LL}));
}

TEST(VariantComparison, ArraysCompareShapeAndElements) {
  EXPECT_EQ(VarArrayOf({1, "x"}), VarArrayOf({1.0, "x"}));
  EXPECT_NE(VarArrayOf({1, "x"}), VarArrayOf({1, "y"}));
  OleVariant shifted = VarArrayCreate({1, 2});
  shifted.PutElement({1}, 1);
  shifted.PutElement({2}, "x");
  EXPECT_NE(shifted, VarArrayOf({1, "x"}));
  EXPECT_NE(VarArrayCreate({0, 1, 0, 2}), VarArrayCreate({0, 2, 0, 1}));
}

TEST(VariantComparison, OrderingNumbersAndStrings) {
  EXPECT_LT(Compare(OleVariant(1), OleVariant(1.5)), 0);
  EXPECT_GT(Compare(OleVariant::Currency(2), OleVariant::Byte(1)), 0);
  EXPECT_EQ(Compare(OleVariant::Date(2), OleVariant(2)), 0);
  EXPECT_LT(Compare(OleVariant("apple"), OleVariant("banana")), 0);
  EXPECT_GT(Compare(OleVariant("b"), OleVariant::ByteString("a")), 0);
  EXPECT_THROW(Compare(OleVariant(1), OleVariant("1")), EVariantError);
  EXPECT_THROW(Compare(OleVariant::Null(), OleVariant(1)), EVariantError);
  EXPECT_THROW(Compare(OleVariant(std::nan("")), OleVariant(1)), EVariantError);
}

}  // namespace
}  // namespace tabulon
