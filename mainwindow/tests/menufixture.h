#pragma once
// A loaded main window with its menu on a scratch copy of the tariff, every message answered by
// the script, and every modal window handed to the test instead of run.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QFont>
#include <QMouseEvent>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "auxwindow.h"
#include "commandwindows.h"
#include "commodity.h"
#include "form3.h"
#include "form3menu.h"
#include "labelbutton.h"
#include "messagebox.h"
#include "msgbox.h"
#include "offshore.h"
#include "programstate.h"
#include "quotedialogs.h"
#include "ratingstate.h"
#include "tariffdb.h"
#include "testdata.h"
#include "userinput.h"

// The desktop's font at another size while it lives, as a user who wants larger text sets it.
// The one before comes back afterwards.
class FontSizeScope {
  public:
    explicit FontSizeScope(int points) : before_(QApplication::font()) {
        QFont font = before_;
        font.setPointSize(points);
        QApplication::setFont(font);
    }
    ~FontSizeScope() { QApplication::setFont(before_); }
    FontSizeScope(const FontSizeScope&) = delete;
    FontSizeScope& operator=(const FontSizeScope&) = delete;

  private:
    QFont before_;
};

class MenuTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetProgramState();
        ResetCommandWindows();
        Form3::SetProgramEnd([] {});
        auto runner = [this](QDialog& window) {
            opened.push_back(window.objectName().toStdString());
            busyWhileOpen.push_back(mainState.gBusy);
            if (work) work(window);
        };
        SetAuxModalRunner(runner);
        SetQuoteDialogRunner(runner);
    }
    void TearDown() override {
        SetAuxModalRunner(nullptr);
        SetQuoteDialogRunner(nullptr);
        form.reset();
        ResetCommandWindows();
        messageScript.Reset();
    }

    Form3& Load() {
        form = std::make_unique<Form3>();
        form->Form_Load();
        form->Form_Activate();
        messageScript.ClearLog();
        return *form;
    }
    MainMenu& Menu() { return *form->menu; }

    // The headings and the commands each opens, as the user finds them.
    std::vector<std::pair<LabelButton*, std::vector<QLabel*>>> Groups() const {
        const MainMenu& m = *form->menu;
        return {{m.lblCustomize,
                 {form->lblApplyAccessorials, m.lblCdnEXC, m.lblDiscounts, m.lblFSC, m.lblShipLoc,
                  m.lblUpgrader}},
                {m.lblRulesTariff, {m.lblQuickRef, m.lblDetail}},
                {m.lblHelp,
                 {m.lblContents, m.lblIndex, m.lblSearch, m.lblUseHelp, m.lblContactVZK,
                  m.lblFindSC, m.lblAbout}}};
    }
    QPoint Centre(QWidget* w) const { return w->mapTo(form.get(), w->rect().center()); }
    // The window on the screen with the focus, as the user sees it before pointing at it.
    void Shown() {
        if (!form->isVisible()) ShowActive(*form);
    }
    // The pointer moved onto a label in small steps. A command of a closed group is reached as
    // a user reaches it: onto its heading, then straight to the command.
    void Hover(QLabel* label) {
        Shown();
        const QPoint to = Centre(label);
        if (label->isHidden()) {
            for (const auto& [heading, entries] : Groups()) {
                if (std::find(entries.begin(), entries.end(), label) == entries.end()) continue;
                const QPoint from = Centre(heading);
                MovePointer(*form, {from + QPoint(3, 0), from});
                MoveStraight(*form, from, to);
            }
        }
        // From just beside the middle, so that the label sees a move even when the pointer
        // was there already.
        MovePointer(*form, {to + QPoint(3, 0), to});
        pointer_ = to;
    }
    void MoveOverBackground() {
        Shown();
        const QPoint at(5, 545);
        ASSERT_EQ(form->childAt(at), nullptr);
        MovePointer(*form, {at + QPoint(3, 0), at});
        pointer_ = at;
    }
    // A click on a label: the pointer goes there first unless it is there already.
    void Click(QLabel* label) {
        Shown();
        if (label->isHidden() || form->childAt(pointer_) != label) Hover(label);
        ClickAt(*form, Centre(label));
    }

    // The user clicks into a ZIP box, types a ZIP and leaves the box with Tab.
    void TypeZip(QWidget* box, const QString& zip) {
        Shown();
        ClickOn(*form, box);
        TypeKeys(zip);
        PressKey(Qt::Key_Tab);
    }
    void TypeDestination(const QString& zip) { TypeZip(form->txtdzip, zip); }
    void TypeOrigin(const QString& zip) { TypeZip(form->txtozip, zip); }
    // A press and release of a mouse button on a label, with keys held.
    void ClickWith(QLabel* label, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
        Hover(label);
        QTest::mouseClick(label, button, modifiers, label->rect().center());
        QCoreApplication::processEvents();
    }

    std::vector<std::string> TakeMessages() {
        std::vector<std::string> out;
        for (const auto& m : messageScript.Log())
            out.push_back((m.title + ": " + m.text).toStdString());
        messageScript.ClearLog();
        return out;
    }

    ScratchAppFolder app;
    std::unique_ptr<Form3> form;
    // The object names of the windows shown modally, in order, and gBusy while each was up.
    std::vector<std::string> opened;
    std::vector<bool> busyWhileOpen;
    // What the test does with a window while it is "up".
    std::function<void(QDialog&)> work;
    // Where the helpers last left the pointer, in window coordinates.
    QPoint pointer_{-1, -1};
};
