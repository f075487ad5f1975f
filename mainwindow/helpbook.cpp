#include "helpbook.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>
#include <QTextStream>
#include <algorithm>

namespace {

QStringList ReadLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    QStringList lines;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (!line.isEmpty()) lines << line;
    }
    return lines;
}

QString Beside(const QString& helpFile, const char* extension) {
    const QFileInfo info(helpFile);
    return info.path() + QLatin1Char('/') + info.completeBaseName() + QLatin1String(extension);
}

}  // namespace

HelpBook::HelpBook(const QString& helpFile) : helpFile_(helpFile) {
    for (const QString& line : ReadLines(Beside(helpFile, ".toc"))) {
        const qsizetype bar = line.indexOf(QLatin1Char('|'));
        if (bar > 0) topics_.push_back({line.left(bar), line.mid(bar + 1)});
    }
    for (const QString& line : ReadLines(Beside(helpFile, ".kwd"))) {
        const qsizetype bar = line.lastIndexOf(QLatin1Char('|'));
        if (bar > 0) keywords_.push_back({line.left(bar), line.mid(bar + 1)});
    }
    std::stable_sort(keywords_.begin(), keywords_.end(), [](const auto& a, const auto& b) {
        return a.keyword.compare(b.keyword, Qt::CaseInsensitive) < 0;
    });
}

QString HelpBook::Folder() const {
    return QFileInfo(helpFile_).path();
}

QString HelpBook::PathOf(const QString& page) const {
    return Folder() + QLatin1Char('/') + page;
}

std::vector<HelpKeyword> HelpBook::KeywordsStartingWith(const QString& typed) const {
    std::vector<HelpKeyword> out;
    const QString t = typed.trimmed();
    for (const auto& k : keywords_)
        if (k.keyword.startsWith(t, Qt::CaseInsensitive)) out.push_back(k);
    return out;
}

std::vector<HelpTopic> HelpBook::Search(const QString& query) const {
    const QStringList words =
        query.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    std::vector<HelpTopic> out;
    if (words.isEmpty()) return out;
    for (const auto& topic : topics_) {
        QFile file(PathOf(topic.page));
        if (!file.open(QIODevice::ReadOnly)) continue;
        const QString text = PlainTextOfHtml(QString::fromUtf8(file.readAll()));
        const bool all = std::all_of(words.begin(), words.end(), [&](const QString& w) {
            return text.contains(w, Qt::CaseInsensitive);
        });
        if (all) out.push_back(topic);
    }
    return out;
}

QString PlainTextOfHtml(const QString& html) {
    QString text = html;
    text.remove(QRegularExpression(QStringLiteral("<head>.*</head>"),
                                   QRegularExpression::DotMatchesEverythingOption |
                                       QRegularExpression::CaseInsensitiveOption));
    text.replace(QRegularExpression(QStringLiteral("<[^>]*>")), QStringLiteral(" "));
    text.replace(QLatin1String("&nbsp;"), QLatin1String(" "));
    text.replace(QLatin1String("&lt;"), QLatin1String("<"));
    text.replace(QLatin1String("&gt;"), QLatin1String(">"));
    text.replace(QLatin1String("&quot;"), QLatin1String("\""));
    text.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return text.simplified();
}
