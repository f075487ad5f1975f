#include "messagebox.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpacerItem>
#include <algorithm>
#include <limits>
#include <utility>

#include "windowkeys.h"

namespace {

constexpr int kButtonsMask = 0x0F;
constexpr int kIconMask = 0xF0;
constexpr int kDefaultMask = 0xF00;

struct ButtonSpec {
    QMessageBox::StandardButton button;
    int answer;
};

std::vector<ButtonSpec> ButtonsOf(int style) {
    switch (style & kButtonsMask) {
        case kMbOKCancel:
            return {{QMessageBox::Ok, kIdOK}, {QMessageBox::Cancel, kIdCancel}};
        case kMbAbortRetryIgnore:
            return {{QMessageBox::Abort, kIdAbort},
                    {QMessageBox::Retry, kIdRetry},
                    {QMessageBox::Ignore, kIdIgnore}};
        case kMbYesNoCancel:
            return {{QMessageBox::Yes, kIdYes},
                    {QMessageBox::No, kIdNo},
                    {QMessageBox::Cancel, kIdCancel}};
        case kMbYesNo:
            return {{QMessageBox::Yes, kIdYes}, {QMessageBox::No, kIdNo}};
        case kMbRetryCancel:
            return {{QMessageBox::Retry, kIdRetry}, {QMessageBox::Cancel, kIdCancel}};
        default:
            return {{QMessageBox::Ok, kIdOK}};
    }
}

QMessageBox::Icon IconOf(int style) {
    switch (style & kIconMask) {
        case kMbCritical:
            return QMessageBox::Critical;
        case kMbQuestion:
            return QMessageBox::Question;
        case kMbExclamation:
            return QMessageBox::Warning;
        case kMbInformation:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

// Room for one line of text in a box on this screen, beside its icon: the box widens to half
// the screen (at most 500 pixels) before it starts to wrap.
int LineRoom(const QWidget* near) {
    const QScreen* screen = near ? near->screen() : QGuiApplication::primaryScreen();
    const int screenWidth = screen ? screen->availableGeometry().width() : 1024;
    return std::max(200, std::min(screenWidth / 2, 500) - 120);
}

// Room for the whole box on this screen: its text gets what the title, the buttons and the
// margins leave.
int TextRoom(const QWidget* near) {
    const QScreen* screen = near ? near->screen() : QGuiApplication::primaryScreen();
    const int screenHeight = screen ? screen->availableGeometry().height() : 768;
    return std::max(100, screenHeight - 200);
}

// A text too tall for the screen (a list of many bills, a very long name) is shown in a pane
// that scrolls, so that the box and its buttons stay on the screen.
void ScrollTallText(QMessageBox& box, const QWidget* near) {
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!label || !grid) return;
    const int width = LineRoom(near);
    const int room = TextRoom(near);
    // Measured as the box will wrap it: a label not yet set to wrap has no height for a width.
    const QRect wrapped = label->fontMetrics().boundingRect(
        QRect(0, 0, width, std::numeric_limits<int>::max() / 2), Qt::TextWordWrap, label->text());
    if (wrapped.height() <= room) return;
    int row = 0, column = 0, rows = 1, columns = 1;
    const int at = grid->indexOf(label);
    if (at < 0) return;
    grid->getItemPosition(at, &row, &column, &rows, &columns);
    grid->removeWidget(label);
    // The box sets its own label not to wrap each time it sizes itself: the pane shows a label of
    // its own, which wraps.
    label->hide();
    auto* text = new QLabel(label->text());
    text->setObjectName(QStringLiteral("messageText"));
    text->setTextFormat(label->textFormat());
    text->setWordWrap(true);
    auto* pane = new QScrollArea(&box);
    pane->setObjectName(QStringLiteral("messagePane"));
    pane->setFrameShape(QFrame::NoFrame);
    pane->setWidgetResizable(true);
    pane->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    pane->setWidget(text);
    pane->setFixedSize(width + pane->verticalScrollBar()->sizeHint().width(), room);
    grid->addWidget(pane, row, column, rows, columns);
}

// The window manager writes the title in the box's title bar, cut short with an ellipsis when
// the box is narrower: the box is made wide enough for it and the bar's buttons beside it.
void WidenForTitle(QMessageBox& box, const QString& title) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) return;
    QFont font = box.font();
    font.setBold(true);
    constexpr int kTitleBarButtons = 140;
    const QScreen* screen = box.screen();
    const int most = screen ? screen->availableGeometry().width() : 1024;
    const int width =
        std::min(most, QFontMetrics(font).horizontalAdvance(title) + kTitleBarButtons);
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

}  // namespace

// A message box wraps its text only between words and sizes itself for that, so a word wider
// than the box would push the lines after it out of sight. Such a word is a file's path more
// often than not: it is cut after a folder separator, so that no name in it is broken, and only
// a name wider than the box by itself is cut inside. The message itself is unchanged: the breaks
// are only what is shown.
QString BreakOverlongWords(const QString& text, const QFontMetrics& metrics, int width) {
    QString shown;
    QString word;
    const auto fits = [&](const QString& line) { return metrics.horizontalAdvance(line) <= width; };
    const auto flush = [&] {
        if (!fits(word)) {
            // The pieces between separators, each with the separator that ends it.
            QStringList pieces;
            QString piece;
            for (const QChar c : word) {
                piece += c;
                if (c == QLatin1Char('/') || c == QLatin1Char('\\')) {
                    pieces << piece;
                    piece.clear();
                }
            }
            if (!piece.isEmpty()) pieces << piece;
            QString line;
            for (const QString& name : pieces) {
                if (!line.isEmpty() && !fits(line + name)) {
                    shown += line + QLatin1Char('\n');
                    line.clear();
                }
                if (fits(name)) {
                    line += name;
                    continue;
                }
                for (qsizetype i = 0; i < name.size(); ++i) {
                    const qsizetype n = name[i].isHighSurrogate() && i + 1 < name.size() ? 2 : 1;
                    const QString next = name.mid(i, n);
                    if (!line.isEmpty() && !fits(line + next)) {
                        shown += line + QLatin1Char('\n');
                        line.clear();
                    }
                    line += next;
                    i += n - 1;
                }
            }
            word = line;
        }
        shown += word;
        word.clear();
    };
    for (const QChar c : text) {
        if (c.isSpace()) {
            flush();
            shown += c;
        } else {
            word += c;
        }
    }
    flush();
    return shown;
}

int PlatformDefaultAnswer(int style) {
    switch (style & kButtonsMask) {
        case kMbOKCancel:
        case kMbYesNoCancel:
        case kMbRetryCancel:
            return kIdCancel;
        case kMbAbortRetryIgnore:
            return kIdAbort;
        case kMbYesNo:
            return kIdNo;
        default:
            return kIdOK;
    }
}

QString BreakAtBlanksOnly(const QString& text) {
    // A word joiner after the mark takes away the break the line breaker allows there.
    constexpr QChar kWordJoiner(0x2060);
    QString shown;
    shown.reserve(text.size() + text.size() / 8);
    for (const QChar c : text) {
        shown += c;
        if (c == QLatin1Char('/') || c == QLatin1Char('-')) shown += kWordJoiner;
    }
    return shown;
}

int PlatformMessageBox(const QString& text, int style, const QString& title) {
    QString caption = title;
    if (caption.isEmpty()) caption = QApplication::applicationDisplayName();
    if (caption.isEmpty()) caption = QStringLiteral("Fretlyn");

    if (std::optional<int> answer = messageScript.Answer(MessageKind::Platform, caption, text,
                                                         style, PlatformDefaultAnswer(style)))
        return *answer;

    const ActiveWindowReturn comeBack;
    QWidget* parent = comeBack.Window();
    QMessageBox box(IconOf(style), caption, QString(), QMessageBox::NoButton, parent);
    comeBack.Own(box);
    box.setText(
        BreakAtBlanksOnly(BreakOverlongWords(text, QFontMetrics(box.font()), LineRoom(parent))));
    ScrollTallText(box, parent);
    WidenForTitle(box, caption);
    const std::vector<ButtonSpec> buttons = ButtonsOf(style);
    std::vector<std::pair<QAbstractButton*, int>> answers;
    for (const ButtonSpec& spec : buttons)
        answers.emplace_back(box.addButton(spec.button), spec.answer);
    const size_t defaultIndex = static_cast<size_t>((style & kDefaultMask) >> 8);
    if (defaultIndex < answers.size())
        box.setDefaultButton(static_cast<QPushButton*>(answers[defaultIndex].first));
    box.exec();

    // Closing the box without a button gives the answer Escape would have given.
    int answer = PlatformDefaultAnswer(style);
    for (const auto& [button, code] : answers)
        if (box.clickedButton() == button) answer = code;
    messageScript.RecordShown(MessageKind::Platform, caption, text, style, answer);
    return answer;
}
