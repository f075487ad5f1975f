#include "maskededit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
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

namespace {

// A box with the focus and its whole text selected, as the dialogs give it.
void SelectAll(MaskedEdit& box) {
    box.setFocus();
    box.SelectFromStart(static_cast<int>(box.Text().size()));
}

TEST(MaskedEdit, AZeroTypedIsKeptApartFromAnEmptyPlaceThatShowsTheZeroPrompt) {
    MaskedEdit fsc(QStringLiteral("##.#"), QLatin1Char('0'));
    fsc.SetText(QStringLiteral("00.0"));
    EXPECT_EQ(fsc.Value(), QStringLiteral("00.0"));
    SelectAll(fsc);
    QTest::keyClicks(&fsc, QStringLiteral("5.5"));
    EXPECT_EQ(fsc.Text(), QStringLiteral("50.5"));  // the empty tens place reads as the prompt
    EXPECT_EQ(fsc.Value(), QStringLiteral("5.5"));
    // ... but is drawn as an empty place: the box never shows a 0 nobody typed.
    EXPECT_EQ(fsc.text(), QStringLiteral("5_.5"));
    SelectAll(fsc);
    QTest::keyClicks(&fsc, QStringLiteral("10"));
    EXPECT_EQ(fsc.Text(), QStringLiteral("10.0"));
    EXPECT_EQ(fsc.Value(), QStringLiteral("10"));  // the 0 was typed, the tenth was not
    SelectAll(fsc);
    QTest::keyClicks(&fsc, QStringLiteral("1"));
    EXPECT_EQ(fsc.Value(), QStringLiteral("1"));
}

TEST(MaskedEdit, BackspaceDeleteAndUndoWorkOnThePlaces) {
    MaskedEdit rate(QStringLiteral("#.####"));
    rate.setFocus();
    QTest::keyClicks(&rate, QStringLiteral("1312"));
    ASSERT_EQ(rate.Text(), QStringLiteral("1.312_"));
    QTest::keyClick(&rate, Qt::Key_Backspace);
    EXPECT_EQ(rate.Text(), QStringLiteral("1.31__"));
    QTest::keyClick(&rate, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(rate.Text(), QStringLiteral("1.312_"));
    QTest::keyClick(&rate, Qt::Key_Home);
    QTest::keyClick(&rate, Qt::Key_Delete);
    EXPECT_EQ(rate.Text(), QStringLiteral("_.312_"));
    EXPECT_EQ(rate.Value(), QStringLiteral(".312"));
}

TEST(MaskedEdit, WhatIsPastedFillsThePlacesAsIfTyped) {
    MaskedEdit cod(QStringLiteral("$999999"));
    QApplication::clipboard()->setText(QStringLiteral("$1,2a50"));
    SelectAll(cod);
    QTest::keyClick(&cod, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(cod.Text(), QStringLiteral("$1250__"));
    EXPECT_EQ(cod.Value(), QStringLiteral("1250"));
    // Cut empties the places it takes and puts what they showed on the clipboard.
    cod.setSelection(1, 2);
    QTest::keyClick(&cod, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("12"));
    EXPECT_EQ(cod.Text(), QStringLiteral("$__50__"));
    // Nothing reaches the box past its places: a letter or a second point goes nowhere.
    cod.setCursorPosition(1);
    QTest::keyClicks(&cod, QStringLiteral("x."));
    EXPECT_EQ(cod.Text(), QStringLiteral("$__50__"));
}

}  // namespace

namespace {

// A box with a normal form shows it once it is left by Tab or a click elsewhere, not while the
// user is typing in it; a box without one keeps what was typed. What the box reads is then the
// stored value.
TEST(MaskedEdit, ABoxLeftShowsTheNormalFormOfWhatWasTyped) {
    QWidget window;
    auto* fsc = new MaskedEdit(QStringLiteral("##.#"), QLatin1Char('0'), &window);
    fsc->SetNormalForm(PercentNormalForm);
    auto* rate = new MaskedEdit(QStringLiteral("#.####"), QLatin1Char('_'), &window);
    rate->move(0, 40);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    fsc->setFocus();
    QTest::keyClicks(fsc, QStringLiteral("5.5"));
    EXPECT_EQ(fsc->text(), QStringLiteral("5_.5"));
    QTest::keyClick(fsc, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), rate);
    EXPECT_EQ(fsc->text(), QStringLiteral("05.5"));
    EXPECT_EQ(fsc->Value(), QStringLiteral("05.5"));

    QTest::keyClicks(rate, QStringLiteral("105"));
    QTest::keyClick(rate, Qt::Key_Backtab);
    ASSERT_EQ(QApplication::focusWidget(), fsc);
    EXPECT_EQ(rate->text(), QStringLiteral("1.05__"));
    EXPECT_EQ(rate->Value(), QStringLiteral("1.05"));

    // Emptied and left: the normal form of nothing.
    fsc->selectAll();
    QTest::keyClick(fsc, Qt::Key_Delete);
    EXPECT_EQ(fsc->text(), QStringLiteral("__._"));
    QTest::mouseClick(rate, Qt::LeftButton);
    EXPECT_EQ(fsc->text(), QStringLiteral("00.0"));
    EXPECT_EQ(PercentNormalForm(QStringLiteral("7")), QStringLiteral("07.0"));
    EXPECT_EQ(PercentNormalForm(QStringLiteral("12.5")), QStringLiteral("12.5"));
}

}  // namespace
