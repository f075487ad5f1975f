#include "maskededit.h"

#include <gtest/gtest.h>

#include <QTest>

namespace {

void Type(MaskedEdit& box, const QString& keys, int from = 0) {
    box.setCursorPosition(from);
    QTest::keyClicks(&box, keys);
}

TEST(MaskedEdit, TheTextKeepsLiteralsAndPromptsAndTheValueOnlyWhatWasTyped) {
    MaskedEdit rate(QStringLiteral("#.####"));
    EXPECT_EQ(rate.Text(), QStringLiteral("_.____"));
    EXPECT_EQ(rate.Value(), QString());
    Type(rate, QStringLiteral("105"));
    EXPECT_EQ(rate.Text(), QStringLiteral("1.05__"));
    EXPECT_EQ(rate.Value(), QStringLiteral("1.05"));

    MaskedEdit discount(QStringLiteral("##.#"));
    Type(discount, QStringLiteral("-a7"));  // only digits go into the places
    EXPECT_EQ(discount.Text(), QStringLiteral("7_._"));
    EXPECT_EQ(discount.Value(), QStringLiteral("7"));

    MaskedEdit cod(QStringLiteral("$999999"));
    Type(cod, QStringLiteral("250"), 1);
    EXPECT_EQ(cod.Text(), QStringLiteral("$250___"));
    EXPECT_EQ(cod.Value(), QStringLiteral("250"));
}

TEST(MaskedEdit, APlaceSkippedBeforeThePointIsDroppedOneAfterItKeepsThePlaces) {
    MaskedEdit rate(QStringLiteral("#.####"));
    Type(rate, QStringLiteral("1"));
    Type(rate, QStringLiteral("5"), 3);
    EXPECT_EQ(rate.Text(), QStringLiteral("1._5__"));
    EXPECT_EQ(rate.Value(), QStringLiteral("1.05"));

    MaskedEdit discount(QStringLiteral("##.#"));
    Type(discount, QStringLiteral("1"));
    Type(discount, QStringLiteral("5"), 3);
    EXPECT_EQ(discount.Text(), QStringLiteral("1_.5"));
    EXPECT_EQ(discount.Value(), QStringLiteral("1.5"));
}

TEST(MaskedEdit, DigitsTypedOnlyAfterThePointAreAFraction) {
    MaskedEdit discount(QStringLiteral("##.#"));
    Type(discount, QStringLiteral("5"), 3);
    EXPECT_EQ(discount.Text(), QStringLiteral("__.5"));
    EXPECT_EQ(discount.Value(), QStringLiteral(".5"));

    MaskedEdit rate(QStringLiteral("#.####"));
    Type(rate, QStringLiteral("75"), 3);
    EXPECT_EQ(rate.Text(), QStringLiteral("_._75_"));
    EXPECT_EQ(rate.Value(), QStringLiteral(".075"));
}

TEST(MaskedEdit, SetTextPlacesAStoredValue) {
    MaskedEdit rate(QStringLiteral("#.####"));
    rate.SetText(QStringLiteral("1.3125"));
    EXPECT_EQ(rate.Text(), QStringLiteral("1.3125"));
    rate.SetText(QStringLiteral("1"));
    EXPECT_EQ(rate.Text(), QStringLiteral("1.____"));
    EXPECT_EQ(rate.Value(), QStringLiteral("1"));
}

}  // namespace
