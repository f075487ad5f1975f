#include "readability.h"

#include <QAbstractButton>
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <QToolButton>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace {

// The colour behind a text: the mean of the area's pixels that are not of the text's own colour
// (a gradient band has no one colour). An area mostly of the text's colour has the text's colour
// behind it: the text does not show.
QColor Behind(const QImage& image, const QRect& area, const QColor& ink) {
    const QRect inside = area.intersected(image.rect());
    long long r = 0, g = 0, b = 0, others = 0, all = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QColor c(image.pixel(x, y));
            ++all;
            const int near = std::abs(c.red() - ink.red()) + std::abs(c.green() - ink.green()) +
                             std::abs(c.blue() - ink.blue());
            if (near < 60) continue;
            r += c.red();
            g += c.green();
            b += c.blue();
            ++others;
        }
    if (all == 0) return QColor();
    if (others * 2 < all) return ink;
    return QColor(static_cast<int>(r / others), static_cast<int>(g / others),
                  static_cast<int>(b / others));
}

}  // namespace

std::vector<std::string> UnreadableTexts(QWidget* window) {
    // Far below any pair of colours the windows are designed with (the main window's black
    // labels on its blue stand at 2.9), far above a text in the colour of what is behind it.
    constexpr double kLeast = 2.0;
    const QImage picture = window->grab().toImage();
    std::vector<std::string> out;
    auto check = [&](QWidget* w, const QString& text, const QColor& ink) {
        if (text.trimmed().isEmpty() || !w->isVisibleTo(window) || !w->isEnabled()) return;
        const QRect area(w->mapTo(window, QPoint(0, 0)), w->size());
        const QColor behind = Behind(picture, area.adjusted(2, 2, -2, -2), ink);
        if (!behind.isValid() || Contrast(ink, behind) >= kLeast) return;
        out.push_back(w->objectName().toStdString() + " \"" + text.left(24).toStdString() +
                      "\": " + ink.name().toStdString() + " on " + behind.name().toStdString());
    };
    for (QLabel* l : window->findChildren<QLabel*>()) {
        // A picture, or rich text that carries its own colours, has no one text colour.
        if (!l->pixmap().isNull() || Qt::mightBeRichText(l->text())) continue;
        check(l, l->text(), l->palette().color(QPalette::Active, QPalette::WindowText));
    }
    for (QLineEdit* e : window->findChildren<QLineEdit*>())
        check(e, e->text(), e->palette().color(QPalette::Active, QPalette::Text));
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
        if (qobject_cast<QPushButton*>(b)) continue;  // drawn by the style on its own face
        check(b, b->text(), b->palette().color(QPalette::Active, QPalette::WindowText));
    }
    return out;
}

std::vector<std::string> UnreadablePageTexts(QWidget* window, double least) {
    const QImage picture = window->grab().toImage();
    std::vector<std::string> out;
    for (QTextEdit* page : window->findChildren<QTextEdit*>()) {
        if (!page->isVisibleTo(window)) continue;
        QWidget* view = page->viewport();
        const QRect shown(view->mapTo(window, QPoint(0, 0)), view->size());
        const QPoint scrolled(page->horizontalScrollBar()->value(),
                              page->verticalScrollBar()->value());
        const QColor plain = page->palette().color(QPalette::Active, QPalette::Text);
        QAbstractTextDocumentLayout* layout = page->document()->documentLayout();
        for (QTextBlock block = page->document()->begin(); block.isValid(); block = block.next()) {
            const QPointF origin = layout->blockBoundingRect(block).topLeft();
            const QTextLayout* lines = block.layout();
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment run = it.fragment();
                if (!run.isValid() || run.text().trimmed().isEmpty()) continue;
                const QBrush brush = run.charFormat().foreground();
                const QColor ink = brush.style() == Qt::NoBrush ? plain : brush.color();
                const int from = run.position() - block.position();
                const int to = from + run.length();
                for (int i = 0; i < lines->lineCount(); ++i) {
                    const QTextLine line = lines->lineAt(i);
                    const int a = std::max(from, line.textStart());
                    const int b = std::min(to, line.textStart() + line.textLength());
                    if (a >= b) continue;
                    const qreal left = line.cursorToX(a);
                    const qreal right = line.cursorToX(b);
                    const QRect area = QRectF(origin.x() + left, origin.y() + line.y(),
                                              right - left, line.height())
                                           .toAlignedRect()
                                           .translated(shown.topLeft() - scrolled);
                    if (!shown.contains(area)) continue;
                    const QColor behind = Behind(picture, area, ink);
                    if (!behind.isValid() || Contrast(ink, behind) >= least) continue;
                    out.push_back(page->objectName().toStdString() + " \"" +
                                  run.text().left(24).toStdString() + "\": " +
                                  ink.name().toStdString() + " on " + behind.name().toStdString());
                    break;
                }
            }
        }
    }
    return out;
}

std::vector<std::string> FaintIcons(QWidget* window) {
    // A stroke of the icon: enough pixels to be seen, not a stray one at an edge.
    constexpr int kStroke = 12;
    const QImage picture = window->grab().toImage();
    std::vector<std::string> out;
    for (QToolButton* b : window->findChildren<QToolButton*>()) {
        if (!b->isVisibleTo(window) || b->icon().isNull()) continue;
        QRect area(b->mapTo(window, QPoint(0, 0)), b->size());
        if (b->toolButtonStyle() == Qt::ToolButtonTextUnderIcon)
            area.setHeight(std::min(area.height(), b->iconSize().height() + 6));
        area = area.intersected(picture.rect());
        // The bar is the colour most of the area has.
        QHash<QRgb, int> counts;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) ++counts[picture.pixel(x, y)];
        QRgb bar = 0;
        int most = 0;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            if (it.value() > most) {
                most = it.value();
                bar = it.key();
            }
        int standing = 0;
        QColor farthest(bar);
        for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
            const double contrast = Contrast(QColor(it.key()), QColor(bar));
            if (contrast >= 3.0) standing += it.value();
            if (contrast > Contrast(farthest, QColor(bar))) farthest = QColor(it.key());
        }
        if (standing < kStroke)
            out.push_back(b->objectName().toStdString() + " \"" + b->text().toStdString() +
                          "\": " + farthest.name().toStdString() + " on " +
                          QColor(bar).name().toStdString());
    }
    return out;
}
