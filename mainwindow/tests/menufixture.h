#pragma once
// A loaded main window with its menu on a scratch copy of the tariff, every message answered by
// the script, and every modal window handed to the test instead of run.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMouseEvent>
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

    // A move of the mouse over a label, and over the window's bare background.
    static void Hover(LabelButton* label) { emit label->mouseMoved(); }
    void MoveOverBackground() {
        const QPointF at(5, 545);
        ASSERT_EQ(form->childAt(at.toPoint()), nullptr);
        QMouseEvent move(QEvent::MouseMove, at, form->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(form.get(), &move);
    }
    static void Click(LabelButton* label) { emit label->clicked(); }

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
};
