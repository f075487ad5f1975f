#pragma once
// The help window: the program's own HTML help with its contents, keyword index and word search,
// and the four requests the main window makes of it.

#include <QString>
#include <QWidget>
#include <memory>

#include "helpbook.h"

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;

// The requests, numbered as the main window has always made them.
inline constexpr int kHelpContext = 1;
inline constexpr int kHelpContents = 3;
inline constexpr int kHelpHelpOnHelp = 4;
inline constexpr int kHelpPartialKey = 0x105;
// The context the main window's "Index..." asks for; this help answers it with its index.
inline constexpr int kHelpIndexContext = 30;
// The page that explains the help window itself.
inline constexpr const char* kHelpOnHelpPage = "howtohelp.htm";

// The application's help file, named when the main window loads.
QString ApplicationHelpFile();
void SetApplicationHelpFile(const QString& file);

class HelpWindow : public QWidget {
    Q_OBJECT
  public:
    explicit HelpWindow(const QString& helpFile, QWidget* parent = nullptr);

    QTabWidget* tabs;
    QListWidget* lstContents;
    QLineEdit* txtKeyword;
    QListWidget* lstIndex;
    QLineEdit* txtSearch;
    QListWidget* lstFound;
    QTextBrowser* brwHelp;

    const HelpBook& Book() const { return *book_; }
    void ShowContents();
    void ShowIndex();
    void ShowSearch();
    void ShowPage(const QString& page);
    // Runs the word search of the search box and lists the pages found.
    void RunSearch();
    // The page shown, by file name.
    QString CurrentPage() const;

  private:
    void FillIndex(const QString& typed);
    std::unique_ptr<HelpBook> book_;
};

// Does what the main window asks of the help: 3 contents, 1 a context (30 is the index),
// 0x105 the search, 4 how to use help. The window is created on first use and stays.
void WinHelp(QWidget* owner, const QString& helpFile, int command, int data);
// The help window when it is open; tests look into it.
HelpWindow* OpenHelpWindow();
