// The help window on the screen and at the keyboard: it fits the screen wherever the main window
// stands, its lists show their entries whole, and Enter in the index's word box opens the entry
// the typed letters have highlighted.

#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>

#include "helpviewer.h"
#include "menufixture.h"

namespace {

// The help as the main window's menu opens it; the menu's own path there is tested with the
// menu, so here the request is made directly.
HelpWindow* OpenHelp(Form3& form, int command, int data = 0) {
    WinHelp(&form, ApplicationHelpFile(), command, data);
    HelpWindow* help = OpenHelpWindow();
    if (help && !QTest::qWaitForWindowExposed(help)) return nullptr;
    return help;
}

QString PageOf(const QListWidgetItem* item) {
    return QFileInfo(item->data(Qt::UserRole).toString()).fileName();
}

TEST_F(MenuTest, TheHelpWindowFitsTheScreenWhenTheMainWindowStandsLow) {
    Load();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    // Low on the screen and right of its middle, as at 500,600 on a 1,280 by 1,024 screen.
    form->move(screen.left() + screen.width() * 500 / 1280, screen.bottom() + 1 - 424);
    ShowActive(*form);
    HelpWindow* help = OpenHelp(*form, kHelpContents);
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(screen.contains(help->frameGeometry()))
        << help->frameGeometry().x() << "," << help->frameGeometry().y() << " "
        << help->frameGeometry().width() << "x" << help->frameGeometry().height() << " in "
        << screen.width() << "x" << screen.height();
    EXPECT_TRUE(help->frameGeometry().intersects(form->frameGeometry()));
    help->close();

    // Opened again from the top left corner, it comes over the main window there.
    form->move(screen.topLeft());
    help = OpenHelp(*form, kHelpContents);
    EXPECT_TRUE(screen.contains(help->frameGeometry()));
    EXPECT_TRUE(help->frameGeometry().intersects(form->frameGeometry()));
    help->close();
}

// The entries of the contents and the index are shown whole, on a desktop with a larger font
// as on one with a small font: none runs past the list's right edge.
TEST_F(MenuTest, TheHelpListsShowTheirEntriesWhole) {
    for (const int points : {9, 12}) {
        const FontSizeScope desktop(points);
        Load();
        ShowActive(*form);
        HelpWindow* help = OpenHelp(*form, kHelpContents);
        ASSERT_NE(help, nullptr);
        for (QListWidget* list : {help->lstContents, help->lstIndex}) {
            help->tabs->setCurrentWidget(list->parentWidget());
            QCoreApplication::processEvents();
            EXPECT_LE(list->sizeHintForColumn(0), list->viewport()->width())
                << list->objectName().toStdString() << " at " << points << " points";
            EXPECT_FALSE(list->horizontalScrollBar()->isVisible())
                << list->objectName().toStdString() << " at " << points << " points";
        }
        // A picture to look at when the run asks for them.
        if (const QByteArray folder = qgetenv("FRETLYN_SCREENSHOTS"); !folder.isEmpty())
            help->grab().save(QString::fromLocal8Bit(folder) +
                              QStringLiteral("/help-index-%1pt.png").arg(points));
        help->close();
        form.reset();
    }
}

TEST_F(MenuTest, EnterInTheIndexWordBoxOpensTheHighlightedEntry) {
    Load();
    ShowActive(*form);
    HelpWindow* help = OpenHelp(*form, kHelpContext, kHelpIndexContext);
    ASSERT_NE(help, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == help->txtKeyword; }));
    const QString first = help->CurrentPage();
    TypeKeys(QStringLiteral("fuel"));
    ASSERT_NE(help->lstIndex->currentItem(), nullptr);
    const std::string highlighted = PageOf(help->lstIndex->currentItem()).toStdString();
    // The word leads to another page than the index's first entry, which is shown already.
    ASSERT_NE(highlighted, first.toStdString());
    PressKey(Qt::Key_Return);
    EXPECT_EQ(help->CurrentPage().toStdString(), highlighted);
    // The window stays, and the word box keeps the focus for the next word.
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(Focused(), help->txtKeyword);
    help->close();
}

}  // namespace
