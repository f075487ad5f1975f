#include "frmmssgbox.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

#include "handcursor.h"
#include "messagebox.h"
#include "twips.h"

namespace {

// Design of the window, in twips, beside what LayOutMessage decides.
constexpr int kTitleHeight = 375;
constexpr int kImageLeft = 240;
constexpr int kImageTop = 600;
constexpr int kImageSize = 480;
constexpr int kTextLeft = 960;
constexpr int kTextTop = 660;
constexpr int kTextRightMargin = 240;
constexpr int kButtonWidth = 800;
constexpr int kButtonHeight = 330;
constexpr int kGap = 300;

constexpr uint32_t kBackground = 0xF7F2EE;  // a pale blue-grey
constexpr uint32_t kTitleBand = 0x844632;   // the program's dark blue
constexpr int kFontPoints = 10;

// The room a window has on the screen it is to stand on.
QRect ScreenRoom(const QWidget* window) {
    const QWidget* owner = window->parentWidget() ? window->parentWidget()->window() : window;
    const QScreen* screen = owner->screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

uint8_t EnterAnswer() {
    return messages.gMsgDefault == kMsgDefaultOK ? kMsgYes : kMsgNo;
}

}  // namespace

frmMssgBox::frmMssgBox(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmMssgBox"));
    setModal(true);
    setMouseTracking(true);
    QFont font = this->font();
    font.setPointSize(kFontPoints);
    setFont(font);
    SetBackgroundColor(this, ColorFromValue(kBackground));

    xlblTitle = new QLabel(this);
    xlblTitle->setObjectName(QStringLiteral("xlblTitle"));
    QFont titleFont = font;
    titleFont.setBold(true);
    xlblTitle->setFont(titleFont);
    xlblTitle->setIndent(TwipsToPixels(kImageLeft));
    SetBackgroundColor(xlblTitle, ColorFromValue(kTitleBand));
    SetLabelForeColor(xlblTitle, kColorWhite);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    const int imageSize = TwipsToPixels(kImageSize);
    Image1->setGeometry(TwipsToPixels(kImageLeft), TwipsToPixels(kImageTop), imageSize, imageSize);
    Image1->setPixmap(
        style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(imageSize, imageSize));

    lblMssg1 = new QLabel(this);
    lblMssg1->setObjectName(QStringLiteral("lblMssg1"));
    lblMssg1->setTextFormat(Qt::PlainText);
    // The background is fixed and light, so the text may not follow a dark desktop theme.
    SetLabelForeColor(lblMssg1, kColorBlack);

    QFont buttonFont = font;
    buttonFont.setBold(true);
    lblOK = new LabelButton(QStringLiteral("OK"), this);
    lblOK->setObjectName(QStringLiteral("lblOK"));
    lblNo = new LabelButton(QStringLiteral("No"), this);
    lblNo->setObjectName(QStringLiteral("lblNo"));
    for (LabelButton* button : {lblOK, lblNo}) {
        button->setFont(buttonFont);
        button->setAlignment(Qt::AlignCenter);
        button->resize(TwipsToPixels(kButtonWidth), TwipsToPixels(kButtonHeight));
        button->SetForeColor(kColorBlack);
    }
    connect(lblOK, &LabelButton::clicked, this, &frmMssgBox::lblOK_Click);
    connect(lblNo, &LabelButton::clicked, this, &frmMssgBox::lblNo_Click);

    highlighter_ = new LabelHighlighter(this, kHiliteBlue);
    highlighter_->SetOncePerEntry(false);
    highlighter_->SetBackgroundPointer(kPointerArrow);
    highlighter_->WireLabels();
}

void frmMssgBox::SetMessage(const QString& text, uint8_t style, const QString& title) {
    const MessageLayout layout = LayOutMessage(text, style);
    xlblTitle->setText(title);
    setWindowTitle(title);
    widthTwips_ = layout.windowWidth;
    const QRect screen = ScreenRoom(this);
    // Never narrower than its title, nor wider than the screen.
    const int titleWidth =
        xlblTitle->fontMetrics().horizontalAdvance(title) + 2 * TwipsToPixels(kImageLeft);
    int width = std::min(screen.width(), std::max(TwipsToPixels(layout.windowWidth), titleWidth));
    const int textLeft = TwipsToPixels(kTextLeft);
    const int textTop = TwipsToPixels(kTextTop);
    const int room = width - textLeft - TwipsToPixels(kTextRightMargin);
    // A path is broken only after a folder separator, never inside a name.
    lblMssg1->setText(BreakAtBlanksOnly(BreakOverlongWords(
        text, lblMssg1->fontMetrics(), layout.wrap ? TwipsToPixels(layout.labelWidth) : room)));

    lblMssg1->move(textLeft, textTop);
    if (layout.wrap) {
        lblMssg1->setWordWrap(true);
        const int labelWidth = TwipsToPixels(layout.labelWidth);
        // Never cut a long text off: the label grows downwards when two lines are not enough.
        lblMssg1->resize(labelWidth, std::max(TwipsToPixels(layout.labelHeight),
                                              lblMssg1->heightForWidth(labelWidth)));
    } else {
        lblMssg1->setWordWrap(false);
        lblMssg1->adjustSize();
        // A text of wide letters can outgrow the window its character count gave; wrap it there.
        if (lblMssg1->width() > room) {
            lblMssg1->setWordWrap(true);
            lblMssg1->resize(room, lblMssg1->heightForWidth(room));
        }
    }

    // A text taller than the screen leaves room for the buttons and scrolls in a pane.
    const int belowText = 2 * TwipsToPixels(kGap) + lblOK->height();
    const int textRoom = std::max(lblMssg1->fontMetrics().lineSpacing() * 3,
                                  screen.height() - textTop - belowText - 1);
    QWidget* shown = lblMssg1;
    if (lblMssg1->height() > textRoom) {
        auto* pane = new QScrollArea(this);
        pane->setObjectName(QStringLiteral("messagePane"));
        pane->setFrameShape(QFrame::NoFrame);
        pane->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        pane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        SetBackgroundColor(pane->viewport(), ColorFromValue(kBackground));
        const QSize labelSize = lblMssg1->size();
        pane->setWidget(lblMssg1);
        lblMssg1->resize(labelSize);
        pane->setGeometry(textLeft, textTop,
                          labelSize.width() + pane->verticalScrollBar()->sizeHint().width(),
                          textRoom);
        // The arrow and page keys scroll it; every other key still answers the message.
        pane->setFocusPolicy(Qt::StrongFocus);
        pane->setFocus();
        shown = pane;
        width = std::max(width, pane->geometry().right() + 1 + TwipsToPixels(kTextRightMargin));
    }
    // The buttons keep their places from the right edge.
    const int widened = width - TwipsToPixels(layout.windowWidth);

    const int buttonTop =
        std::max(shown->geometry().bottom(), Image1->geometry().bottom()) + 1 + TwipsToPixels(kGap);
    lblOK->setText(layout.okCaption);
    lblOK->move(TwipsToPixels(layout.okLeft) + widened, buttonTop);
    lblNo->setVisible(layout.question);
    if (layout.question) lblNo->move(TwipsToPixels(layout.noLeft) + widened, buttonTop);
    messages.gMsgDefault = layout.msgDefault;

    xlblTitle->setGeometry(0, 0, width, TwipsToPixels(kTitleHeight));
    setFixedSize(width, buttonTop + lblOK->height() + TwipsToPixels(kGap));
}

void frmMssgBox::Answer(uint8_t answer) {
    answered_ = true;
    messages.gMsgAnswer = answer;
    messages.gMsgShown = false;
    done(answer);
}

void frmMssgBox::reject() {
    if (!answered_) Answer(EnterAnswer());
}

void frmMssgBox::keyPressEvent(QKeyEvent* event) {
    const QString key = event->text();
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        Answer(EnterAnswer());
    else if (key == QLatin1String("N") || key == QLatin1String("n"))
        Answer(kMsgNo);
    else if (key == QLatin1String("Y") || key == QLatin1String("y") || key == QLatin1String("O") ||
             key == QLatin1String("o"))
        Answer(kMsgYes);
    // Every other key, Escape too, does nothing: the message waits for an answer.
}

void frmMssgBox::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    // Without a frame of its own the window needs an edge to stand out from what is behind it.
    QPainter painter(this);
    painter.setPen(ColorFromValue(kTitleBand));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
