#pragma once
// The bill-of-lading windows under test: created fresh for each test, shown modally through a
// runner the test scripts, and destroyed afterwards.

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <functional>

#include "blfixture.h"
#include "blhooks.h"
#include "blstate.h"
#include "blwidgets.h"
#include "frmbl.h"
#include "frmblconfig.h"
#include "frmblparties.h"
#include "frmcommodities.h"
#include "labelbutton.h"

class BLWindowTest : public BLTest {
  protected:
    void SetUp() override {
        BLTest::SetUp();
        blWindow.Reset();
    }
    void TearDown() override {
        SetBLWindowRunner(nullptr);
        SetBLRatePrintHooks({});
        DestroyBLWindow();
        DestroyBLPartiesWindow();
        DestroyCommoditiesWindow();
        DestroyBLConfigWindow();
        BLTest::TearDown();
    }

    // The bill-of-lading window, loaded as the main window opens it.
    frmBL& OpenBL() {
        frmBL* w = BLWindow();
        w->Form_Load();
        return *w;
    }

    static void Type(QWidget* box, const QString& keys) { QTest::keyClicks(box, keys); }
    static void Key(QWidget* box, Qt::Key key) { QTest::keyClick(box, key); }
    // Picks an entry of a list as the user does: the list's pick handling runs.
    static void Pick(QComboBox* box, const QString& entry) {
        const int at = box->findText(entry, Qt::MatchExactly);
        ASSERT_GE(at, 0) << entry.toStdString();
        box->setCurrentIndex(at);
        emit box->activated(at);
    }

    // The last message shown.
    QString LastText() const { return Shown().empty() ? QString() : Shown().back().text; }
    QString LastTitle() const { return Shown().empty() ? QString() : Shown().back().title; }
};
