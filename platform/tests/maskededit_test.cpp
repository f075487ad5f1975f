#include "maskededit.h"

#include <gtest/gtest.h>

#include <QTest>

namespace {

void Type(MaskedEdit& box, const QString& keys, int from = 0) {
    box.setCursorPosition(from);
    QTest::keyClicks(&box, keys);
}

TEST(MaskedEdit, AnEmptyBoxShowsItsLiteralsAndAPromptInEveryPlace) {
    MaskedEdit rate(QStringLiteral("#.####"));
    EXPECT_EQ(rate.Text(), QStringLiteral("_.____"));
    EXPECT_EQ(rate.Value(), QString());
    MaskedEdit cod(QStringLiteral("$999999"));
    EXPECT_EQ(cod.Text(), QStringLiteral("$______"));
    EXPECT_EQ(cod.Value(), QString());
}

TEST(MaskedEdit, TypedDigitsFillThePlacesAndSkipTheLiterals) {
    MaskedEdit rate(QStringLiteral("#.####"));
    Type(rate, QStringLiteral("105"));
    EXPECT_EQ(rate.Text(), QStringLiteral("1.05__"));
    EXPECT_EQ(rate.Value(), QStringLiteral("1.05"));

    MaskedEdit discount(QStringLiteral("##.#"));
    Type(discount, QStringLiteral("355"));
    EXPECT_EQ(discount.Text(), QStringLiteral("35.5"));
    EXPECT_EQ(discount.Value(), QStringLiteral("35.5"));
}

TEST(MaskedEdit, TheValueLeavesOutPromptsAndTheLiteralsAtEitherEnd) {
    MaskedEdit discount(QStringLiteral("##.#"));
    Type(discount, QStringLiteral("7"));
    EXPECT_EQ(discount.Text(), QStringLiteral("7_._"));
    EXPECT_EQ(discount.Value(), QStringLiteral("7"));

    MaskedEdit cod(QStringLiteral("$999999"));
    Type(cod, QStringLiteral("250"), 1);
    EXPECT_EQ(cod.Text(), QStringLiteral("$250___"));
    EXPECT_EQ(cod.Value(), QStringLiteral("250"));

    // A place skipped inside the entry is not a character of the value.
    MaskedEdit rate(QStringLiteral("#.####"));
    Type(rate, QStringLiteral("1"));
    Type(rate, QStringLiteral("5"), 3);
    EXPECT_EQ(rate.Text(), QStringLiteral("1._5__"));
    EXPECT_EQ(rate.Value(), QStringLiteral("1.5"));
}

TEST(MaskedEdit, OnlyDigitsGoIntoThePlaces) {
    MaskedEdit discount(QStringLiteral("##.#"));
    Type(discount, QStringLiteral("-a5"));
    EXPECT_EQ(discount.Text(), QStringLiteral("5_._"));
    EXPECT_EQ(discount.Value(), QStringLiteral("5"));
}

TEST(MaskedEdit, SetTextPlacesAStoredValue) {
    MaskedEdit rate(QStringLiteral("#.####"));
    rate.SetText(QStringLiteral("1.3125"));
    EXPECT_EQ(rate.Text(), QStringLiteral("1.3125"));
    rate.SetText(QStringLiteral("1"));
    EXPECT_EQ(rate.Text(), QStringLiteral("1.____"));
    EXPECT_EQ(rate.Value(), QStringLiteral("1"));
    rate.SelectFromStart(6);
    EXPECT_EQ(rate.selectedText(), QStringLiteral("1.____"));
}

}  // namespace
