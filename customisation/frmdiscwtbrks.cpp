#include "frmdiscwtbrks.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>

#include "discountstore.h"
#include "formkit.h"
#include "handlerguard.h"
#include "labelbutton.h"
#include "labels.h"
#include "maskededit.h"
#include "msgbox.h"
#include "twips.h"
#include "windowkeys.h"

namespace {
const char* const kCaptions[11] = {"Min Chg",    "< 500 lbs",  "500 lbs",    "1,000 lbs",
                                   "2,000 lbs",  "5,000 lbs",  "10,000 lbs", "15,000 lbs",
                                   "20,000 lbs", "25,000 lbs", "30,000 lbs"};
constexpr int kColumn = 1080;  // twips per break
}  // namespace

frmDiscWtBrks::frmDiscWtBrks(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmDiscWtBrks"));
    setWindowTitle(QStringLiteral("Discounts by weight break"));
    setModal(true);
    setFixedSize(TwipsRect(0, 0, 240 + 11 * kColumn + 120, 1860).size());
    PaintBackground(this, QColor(27, 86, 167));
    for (int i = 0; i < 11; ++i) {
        const int left = 240 + i * kColumn;
        auto* label = PlaceLabel(this, "lblWtBrk", QString::fromUtf8(kCaptions[i]),
                                 TwipsRect(left - 60, 240, kColumn, 300), VerdanaFont(8, true));
        label->setAlignment(Qt::AlignCenter);
        PaintText(label, Qt::white);
        lblWtBrk[static_cast<size_t>(i)] = label;
        auto* box = new MaskedEdit(QStringLiteral("##.#"), QLatin1Char('_'), this);
        box->setObjectName(QStringLiteral("mskWtBrks"));
        box->setGeometry(TwipsRect(left + 60, 600, kColumn - 240, 375));
        box->setFont(VerdanaFont(10, true));
        box->setAlignment(Qt::AlignCenter);
        box->installEventFilter(this);
        mskWtBrks[static_cast<size_t>(i)] = box;
    }
    lblDone =
        PlaceButton(this, "lblDone", QStringLiteral("Done"),
                    TwipsRect(240 + 11 * kColumn - 1080, 1260, 960, 390), VerdanaFont(12, true));
    connect(lblDone, &LabelButton::clicked, this, Guarded(this, &frmDiscWtBrks::lblDone_Click));
    InstallWindowKeys(this, lblDone);
    highlighter_ = new LabelHighlighter(this, kHiliteWhite);
    highlighter_->WireLabels();
    // Done turns white under the mouse and black again over the background; the break captions
    // are no buttons and stay white on the blue ground whatever the highlighting does.
    auto keepCaptionsWhite = [this] {
        for (QLabel* caption : lblWtBrk) PaintText(caption, Qt::white);
    };
    connect(highlighter_, &LabelHighlighter::backgroundEntered, this, keepCaptionsWhite);
    connect(highlighter_, &LabelHighlighter::labelEntered, this, keepCaptionsWhite);
}

bool frmDiscWtBrks::Form_Load() {
    try {
        const BreakTexts texts =
            LoadBreakTexts(customisation.gShipLoc, customisation.gRegion, customisation.gIBOB);
        for (size_t i = 0; i < texts.size(); ++i)
            mskWtBrks[i]->SetText(QString::fromStdString(texts[i]));
    } catch (const std::exception& e) {
        ShowMessage(QString::fromUtf8(e.what()), kMsgOK, QStringLiteral("Discounts"));
        return false;
    }
    LoadFormMouseIcon(this);
    return true;
}

void frmDiscWtBrks::mskWtBrks_LostFocus(int index) {
    MaskedEdit* box = mskWtBrks[static_cast<size_t>(index)];
    // From what was typed: "5.5" over a selected "12.5" shows "5_.5", whose text up to the first
    // empty place would be 5.
    box->SetText(QString::fromStdString(NormaliseBreakText(box->Value().toStdString())));
}

void frmDiscWtBrks::lblDone_Click() {
    BreakTexts texts;
    for (size_t i = 0; i < texts.size(); ++i) texts[i] = mskWtBrks[i]->Value().toStdString();
    try {
        result_ = SaveBreakTexts(customisation.gShipLoc, customisation.gRegion, customisation.gIBOB,
                                 texts);
    } catch (const std::exception& e) {
        ShowMessage(QString::fromUtf8(e.what()), kMsgOK, QStringLiteral("Discounts"));
        result_.reset();
    }
    accept();
}

bool frmDiscWtBrks::eventFilter(QObject* watched, QEvent* event) {
    for (int i = 0; i < 11; ++i) {
        if (watched != mskWtBrks[static_cast<size_t>(i)]) continue;
        if (event->type() == QEvent::FocusIn) {
            // Selected whole, so that typing replaces the discount. Only once the toolkit has
            // placed the cursor for the Tab or the click that brought the focus.
            MaskedEdit* box = mskWtBrks[static_cast<size_t>(i)];
            QMetaObject::invokeMethod(
                box, [box] { box->SelectFromStart(4); }, Qt::QueuedConnection);
        } else if (event->type() == QEvent::FocusOut) {
            mskWtBrks_LostFocus(i);
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                // From the last break Enter goes round to the first.
                mskWtBrks[static_cast<size_t>((i + 1) % 11)]->setFocus();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

std::optional<std::string> ShowWeightBreakEditor(QWidget* opener, int leftTwips, int topTwips) {
    // One editor at a time, for one edit.
    static QPointer<frmDiscWtBrks> window;
    delete window;
    window = new frmDiscWtBrks(opener);
    if (opener)
        window->move(opener->pos() + QPoint(TwipsToPixels(leftTwips), TwipsToPixels(topTwips)));
    KeepOnScreen(window);
    if (!window->Form_Load()) {
        delete window;
        return std::nullopt;
    }
    RunPricingModal(*window);
    std::optional<std::string> result = window ? window->Result() : std::nullopt;
    delete window;
    return result;
}
