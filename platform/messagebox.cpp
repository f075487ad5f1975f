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
#include <algorithm>
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
    if (label->heightForWidth(width) <= room) return;
    int row = 0, column = 0, rows = 1, columns = 1;
    const int at = grid->indexOf(label);
    if (at < 0) return;
    grid->getItemPosition(at, &row, &column, &rows, &columns);
    grid->removeWidget(label);
    auto* pane = new QScrollArea(&box);
    pane->setObjectName(QStringLiteral("messagePane"));
    pane->setFrameShape(QFrame::NoFrame);
    pane->setWidgetResizable(true);
    pane->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    pane->setWidget(label);
    pane->setFixedSize(width + pane->verticalScrollBar()->sizeHint().width(), room);
    grid->addWidget(pane, row, column, rows, columns);
}

}  // namespace

// A message box wraps its text only between words and sizes itself for that, so a word wider
// than the box would push the lines after it out of sight. The message itself is unchanged:
// the breaks are only what is shown.
QString BreakOverlongWords(const QString& text, const QFontMetrics& metrics, int width) {
    QString shown;
    QString word;
    const auto flush = [&] {
        if (metrics.horizontalAdvance(word) > width) {
            QString piece;
            for (qsizetype i = 0; i < word.size(); ++i) {
                const qsizetype n = word[i].isHighSurrogate() && i + 1 < word.size() ? 2 : 1;
                const QString next = word.mid(i, n);
                if (!piece.isEmpty() && metrics.horizontalAdvance(piece + next) > width) {
                    shown += piece + QLatin1Char('\n');
                    piece.clear();
                }
                piece += next;
                i += n - 1;
            }
            word = piece;
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
    box.setText(
        BreakAtBlanksOnly(BreakOverlongWords(text, QFontMetrics(box.font()), LineRoom(parent))));
    ScrollTallText(box, parent);
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
