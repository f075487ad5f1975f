#pragma once
// A main window on a scratch copy of the application folder, with scripted messages.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "commodity.h"
#include "database.h"
#include "form3.h"
#include "form3menu.h"
#include "labelbutton.h"
#include "messagebox.h"
#include "msgbox.h"
#include "offshore.h"
#include "programstate.h"
#include "ratingstate.h"
#include "testdata.h"
#include "userinput.h"

class MainWindowFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetProgramState();
        Form3::SetProgramEnd([this] { ++programEnds; });
        // The engine's refusals reach the user as the program's messages.
        SetRatingMessageSink([](const std::string& text, int style, const std::string& title) {
            ShowMessage(QString::fromStdString(text), static_cast<uint8_t>(style),
                        QString::fromStdString(title));
        });
    }
    void TearDown() override {
        SetRatingMessageSink(nullptr);
        SetQuoteDisplayHook(nullptr);
        form.reset();
        messageScript.Reset();
    }

    void Sql(const std::string& statement, const std::vector<Value>& values = {}) {
        Database db(app.file("data/x2007.mdb").string());
        db.Execute(statement, values);
    }
    void Set(const std::string& key, const std::string& value) {
        Sql("UPDATE tblConfig SET valuef = ? WHERE keyf = ?", {value, key});
    }

    Form3& Load() {
        form = std::make_unique<Form3>();
        form->Form_Load();
        form->Form_Activate();
        messageScript.ClearLog();
        return *form;
    }
    // Shows the window and makes it the active one, so that focus moves send their events.
    void ShowActive() {
        form->show();
        QApplication::setActiveWindow(form.get());
    }

    // The user clicks into a box, types over what it holds and leaves it with Tab.
    void TypeInto(QLineEdit* box, const QString& text) {
        if (!form->isVisible()) ::ShowActive(*form);
        ClickOn(*form, box);
        PressKey(Qt::Key_End);
        PressKey(Qt::Key_Home, Qt::ShiftModifier);
        if (text.isEmpty())
            PressKey(Qt::Key_Delete);
        else
            TypeKeys(text);
        PressKey(Qt::Key_Tab);
    }
    void EnterOrigin(const QString& text) { TypeInto(form->txtozip, text); }
    void EnterDestination(const QString& text) { TypeInto(form->txtdzip, text); }
    // From inside: leaving the box by Tab gives a weight box the focus, and the service standard
    // that box shows would hide what the destination alone does.
    void VerifyDestinationInPlace(const QString& text) {
        form->txtdzip->setText(text);
        form->txtdzip_LostFocus();
    }
    void Weights(const std::vector<QString>& weights) {
        for (size_t i = 0; i < 5; ++i)
            TypeInto(form->txtweight[i], i < weights.size() ? weights[i] : QString());
    }

    // The pointer comes from the empty ground, over "Customize", straight down to "Accessorial
    // charges" and clicks it; returns where it clicked, once the list has slid open.
    QPoint OpenAccessorialListWithThePointer() {
        const QPoint background(5, 545);
        EXPECT_EQ(form->childAt(background), nullptr);
        const QPoint heading = form->menu->lblCustomize->geometry().center();
        const QPoint entry = form->lblApplyAccessorials->geometry().center();
        MoveStraight(*form, background, heading);
        MoveStraight(*form, heading, entry);
        ClickAt(*form, entry);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !form->Timer1->isActive(); }, 5000));
        return entry;
    }

    // The pointer moves onto a label of the window and clicks it.
    void ClickLabel(QWidget* label) {
        if (!form->isVisible()) ::ShowActive(*form);
        ClickOn(*form, label);
    }

    // The messages shown since the last call, as "title: text".
    std::vector<std::string> TakeMessages() {
        std::vector<std::string> out;
        for (const auto& m : messageScript.Log())
            out.push_back((m.title + ": " + m.text).toStdString());
        messageScript.ClearLog();
        return out;
    }
    // Clicks "Rate this shipment" and counts the quotes it shows.
    std::vector<std::string> Rate() {
        SetQuoteDisplayHook([this] { ++quotesShown; });
        ClickLabel(form->lblRate);
        return TakeMessages();
    }

    ScratchAppFolder app;
    std::unique_ptr<Form3> form;
    int programEnds = 0;
    int quotesShown = 0;
};

using Messages = std::vector<std::string>;
