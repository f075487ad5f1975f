#pragma once
// The bill-of-lading windows under test: created fresh for each test, shown modally through a
// runner the test scripts, and destroyed afterwards.

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
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

// Messages shown for real, not scripted: each box that comes up is answered with a key, as a
// user answers it, and counted. For what only a real modal box brings about (the focus it
// takes, the event loop it runs).
class BoxAnswerer {
  public:
    explicit BoxAnswerer(QWidget* owner) : owner_(owner) {
        messageScript.Reset();
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* box = QApplication::activeModalWidget();
            if (!box || box == owner_ || !box->isVisible()) return;
            ++shown_;
            QTest::keyClick(box, key_);
        });
        timer_.start(20);
    }
    // The key the next boxes are answered with; the count starts again.
    void Answer(char key) {
        key_ = key;
        shown_ = 0;
    }
    int Shown() const { return shown_; }

  private:
    QWidget* owner_;
    QTimer timer_;
    char key_ = 'n';
    int shown_ = 0;
};

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
    // Shows a window and makes it the active one, so that keys go to its focus.
    static void ShowActive(QWidget& w) {
        w.show();
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    }
    static void Key(QWidget* box, Qt::Key key) { QTest::keyClick(box, key); }
    // Picks an entry of a list as the user does: the list's pick handling runs.
    static void Pick(QComboBox* box, const QString& entry) {
        const int at = box->findText(entry, Qt::MatchExactly);
        ASSERT_GE(at, 0) << entry.toStdString();
        box->setCurrentIndex(at);
        emit box->activated(at);
    }

    // Edits one of two records and picks the other in the list with the keys while editing,
    // the question answered for real (the focus it takes is part of what is tested): each pick
    // asks once whether to abandon the edit; a pick refused leaves the edit, one taken shows
    // the record picked.
    void PickWhileEditing(BLCatalogWindow& w, const QString& first, const QString& second) {
        ShowActive(w);
        BoxAnswerer boxes(&w);
        QTest::mouseClick(w.mlblEdit, Qt::LeftButton);
        for (char answer : {'n', 'y'}) {
            SCOPED_TRACE(answer);
            boxes.Answer(answer);
            // Back in the window after the last question, the user clicks into the name box.
            ShowActive(w);
            QTest::mouseClick(w.cmbName->lineEdit(), Qt::LeftButton);
            Key(QApplication::focusWidget(), Qt::Key_Down);
            QCoreApplication::processEvents();
            EXPECT_EQ(boxes.Shown(), 1);
            EXPECT_EQ(w.boolEditing, answer == 'n');
            EXPECT_EQ(w.cmbName->currentText(), answer == 'n' ? first : second);
        }
    }

    // The last message shown.
    QString LastText() const { return Shown().empty() ? QString() : Shown().back().text; }
    QString LastTitle() const { return Shown().empty() ? QString() : Shown().back().title; }
};
