#pragma once
// The bill-of-lading windows under test: created fresh for each test, shown modally through a
// runner the test scripts, and destroyed afterwards.

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "../../platform/tests/drawncolours.h"
#include "blfixture.h"
#include "blhooks.h"
#include "blstate.h"
#include "blwidgets.h"
#include "frmbl.h"
#include "frmblconfig.h"
#include "frmblparties.h"
#include "frmcommodities.h"
#include "labelbutton.h"
#include "userinput.h"

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

// The labels read on the window as drawn (3:1 at least), each named with `when` if not.
inline void ExpectReadable(QWidget& window, std::initializer_list<QLabel*> labels,
                           const std::string& when) {
    for (QLabel* label : labels) {
        const DrawnLabel drawn = Drawn(window, label);
        EXPECT_GE(drawn.contrast(), 3.0)
            << when << ": " << label->objectName().toStdString() << " "
            << drawn.ink.name().toStdString() << " on " << drawn.background.name().toStdString();
    }
}

// A keyboard user's way round a window: Tab from widget to widget until the focus comes back.
inline void TabAround(QWidget& window) {
    QWidget* first = QApplication::focusWidget();
    for (int i = 0; i < 60; ++i) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &window,
                        Qt::Key_Tab);
        if (QApplication::focusWidget() == first) break;
    }
}

// Every label of `disabled` is disabled and drawn in one colour, which reads on the picture
// behind it (3:1 at least) and stands well apart from the colour of every label of `enabled`.
inline void ExpectOneDisabledLook(QWidget& window, const std::vector<QLabel*>& disabled,
                                  const std::vector<QLabel*>& enabled) {
    QColor look;
    for (QLabel* l : disabled) {
        const std::string name = l->objectName().toStdString();
        EXPECT_FALSE(l->isEnabled()) << name;
        const DrawnLabel d = Drawn(window, l);
        if (!look.isValid()) look = d.ink;
        EXPECT_EQ(d.ink.name().toStdString(), look.name().toStdString()) << name;
        EXPECT_GE(Contrast(d.ink, d.background), 3.0)
            << name << ": " << d.ink.name().toStdString() << " on "
            << d.background.name().toStdString();
        for (QLabel* e : enabled) {
            EXPECT_TRUE(e->isEnabled()) << e->objectName().toStdString();
            const QColor working = Drawn(window, e).ink;
            EXPECT_GE(Contrast(d.ink, working), 2.0)
                << name << " " << d.ink.name().toStdString() << " beside "
                << e->objectName().toStdString() << " " << working.name().toStdString();
        }
    }
}

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

    // A user adding a record: New, the entries typed by `fill`, Save, which shows no message.
    void AddWithKeys(BLCatalogWindow& w, const std::function<void()>& fill) {
        ShowActive(w);
        ClickOn(w, w.mlblNew);
        fill();
        ClickOn(w, w.mlblSave);
        ASSERT_TRUE(Shown().empty()) << LastText().toStdString();
    }
    // A user changing the record shown: Edit, `box` typed over with `text`, Save, which shows no
    // message.
    void RetypeAndSave(BLCatalogWindow& w, QWidget* box, const QString& text) {
        ClickOn(w, w.mlblEdit);
        ASSERT_TRUE(w.boolEditing);
        ClickOn(w, box);
        PressKey(Qt::Key_A, Qt::ControlModifier);
        TypeKeys(text);
        ClickOn(w, w.mlblSave);
        ASSERT_TRUE(Shown().empty()) << LastText().toStdString();
    }

    // The last message shown.
    QString LastText() const { return Shown().empty() ? QString() : Shown().back().text; }
    QString LastTitle() const { return Shown().empty() ? QString() : Shown().back().title; }
};
