#pragma once
// The program's help: HTML pages in the application folder's help/, with a contents list, a
// keyword index and a word search over the pages' text. No window here; helpviewer.h shows it.
//
// The help file the main window names is the contents page, help/x2007.htm. Beside it:
//   x2007.toc  one topic a line, "page.htm|Title", in reading order
//   x2007.kwd  one keyword a line, "keyword|page.htm", in any order

#include <QString>
#include <vector>

struct HelpTopic {
    QString page;  // file name within the help folder
    QString title;
};

struct HelpKeyword {
    QString keyword;
    QString page;
};

class HelpBook {
  public:
    // Reads the contents and keywords beside the help file. A missing list leaves that part
    // empty; the pages are read as the search needs them.
    explicit HelpBook(const QString& helpFile);

    const QString& HelpFile() const { return helpFile_; }
    QString Folder() const;
    QString PathOf(const QString& page) const;
    const std::vector<HelpTopic>& Topics() const { return topics_; }
    // Sorted without regard to case.
    const std::vector<HelpKeyword>& Keywords() const { return keywords_; }
    // The keywords that begin with the text typed, without regard to case.
    std::vector<HelpKeyword> KeywordsStartingWith(const QString& typed) const;
    // The topics whose text holds every word of the query, without regard to case, in
    // contents order.
    std::vector<HelpTopic> Search(const QString& query) const;

  private:
    QString helpFile_;
    std::vector<HelpTopic> topics_;
    std::vector<HelpKeyword> keywords_;
};

// The readable text of an HTML page: tags dropped, entities for &, <, >, " and blanks read.
QString PlainTextOfHtml(const QString& html);
