#pragma once
// The quote window: the quote sheet of the last rating with its header, the discount box, the
// service standards and the offers, and the commands that act on the quote (accessorials added
// for this quote only, the total in Canadian funds, discounts, rate table, print, done).

#include <QDialog>
#include <QRect>
#include <functional>

#include "altkey.h"

class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QScrollArea;
class QTimer;
class LabelButton;
class LabelHighlighter;

// The windows the quote window opens that live elsewhere; each is shown modally and may be
// left empty, when its label does nothing.
struct QuoteWindowHooks {
    std::function<void()> cdnRateDialog;   // the exchange-rate dialog
    std::function<void()> changeDiscount;  // the discount dialog (it re-rates on its Done)
    // The customer's discount editor: the full one when the customer has shipping locations,
    // else the simple one for "ALL".
    std::function<void(bool hasShipLocations)> discountsEditor;
    std::function<void()> rateTable;
    std::function<void()> print;  // prints the quote on display
};
void SetQuoteWindowHooks(QuoteWindowHooks hooks);

// The quote lines: four columns (class, weight, rate, charge), a line for every line of the
// sheet, eighteen at least. A text line's caption stands right-aligned in the rate column and
// may reach to the left over the empty columns.
class QuoteSheetView : public QWidget {
    Q_OBJECT
  public:
    explicit QuoteSheetView(QWidget* parent = nullptr);

    static constexpr int kLineHeight = 18;
    static constexpr int kWidth = 630;
    // Right edges of the columns (the class column is centred on its half).
    static constexpr int kClassRight = 120;
    static constexpr int kWeightRight = 270;
    static constexpr int kRateRight = 450;
    static constexpr int kChargeRight = 610;

    int LineCount() const;
    // Sizes the view to the sheet's lines and paints it again.
    void Refresh();
    // Where the discount percentage stands on a discount line: over the gap in its caption.
    QRect DiscountBox(int line) const;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

class frmQPO : public QDialog {
    Q_OBJECT
  public:
    explicit frmQPO(QWidget* parent = nullptr);
    ~frmQPO() override;

    // Redraws every part of the window from the quote sheet.
    void DrawQuote();
    // Draws the sheet into a window about to be shown (again, after the discount editor).
    void PrepareToShow();

    // How the window was left: still up, closed with Done, closed to rate again with the
    // accessorials added, or hidden while the discount editor is open.
    enum class Outcome { Open, Done, Rerate, Hidden };
    Outcome outcome() const { return outcome_; }
    bool IsUnloaded() const { return outcome_ == Outcome::Done || outcome_ == Outcome::Rerate; }

    // --- controls
    QLineEdit* txtOriginZip;
    QLineEdit* txtDestZip;
    QLineEdit* txtEffDate;
    QLabel* lblorigin;
    QLabel* lbldestination;
    QLabel* lblRatesEff;
    QLabel* lblClassHdl;
    QLabel* lblWeightHdl;
    QLabel* lblRateHdl;
    QLabel* lblChargeHdl;
    QuoteSheetView* sheet;  // the quote lines
    QScrollArea* sheetArea;
    QLineEdit* txtChgDisc;  // lives on the sheet, over the discount line's gap
    QLabel* mlblService;
    QLabel* mlblDefServ;
    QLabel* qmrqQPO1;
    QLabel* qmrqQPO2;
    QLabel* qmrqQPO3;
    QLabel* lblGuarantee;
    QLabel* mlblTools;
    LabelButton* mlblAccess;
    LabelButton* mlblCDNExch;
    LabelButton* mlblDiscounts;
    LabelButton* mlblRates;
    LabelButton* mlblPrint;
    LabelButton* mlblDone;
    QListWidget* lstAccessorials;
    QTimer* Timer1;
    QFrame* Line1;
    QFrame* Line2;
    QLabel* Image1;
    QWidget* picMenu;  // the strip the menu labels stand on

    // The list's place and size in twips while it slides open.
    QRect accListTwips;

    // --- handlers
    void Form_Load();
    void Form_Click();
    void mlblAccess_Click();
    void Timer1_Timer();
    void lstAccessorials_Click();
    void mlblCDNExch_Click();
    void txtChgDisc_Click();
    void mlblDiscounts_Click();
    void mlblRates_Click();
    void mlblPrint_Click();
    void mlblDone_Click();
    // Alt alone (pressed and released with no other key) closes the window as Done does.
    void Form_KeyDown(int key, Qt::KeyboardModifiers modifiers);

    LabelHighlighter* highlighter() const { return highlighter_; }

  public slots:
    // The window manager's close and Escape run Done.
    void reject() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    void BuildControls();
    void FillAccessorialList();
    void PlaceAccessorialList();
    void PlaceDiscountBox();
    // A key to the accessorial list; true when the list took it.
    bool AccessorialListKey(const QKeyEvent& key);
    // Refuses the accessorial clicked: says why and takes the choice back.
    void RefuseAccessorial(const std::string& text, int item);
    void Unload(Outcome how);
    // Done and the list's click with their database writes in one transaction: a write the
    // database refuses leaves nothing stored and the window open.
    void DoneAtomically();
    void AccessorialClickAtomically();

    LabelHighlighter* highlighter_;
    Outcome outcome_ = Outcome::Open;
    AltAloneKey altKey_;
    bool quietList_ = false;  // the list is being filled or unselected by the window itself
};

// The one quote window of the run: created (and loaded) on first use. A window closed with
// Done or to rate again is gone: the next use creates a new one.
frmQPO* QuoteWindow();
// The window when one is loaded, else nullptr.
frmQPO* LoadedQuoteWindow();
void UnloadQuoteWindow();

// Draws the sheet into the window and shows it modally; returns when it is closed or hidden.
// A window closed to rate again runs `rerate`, which rates the same request again and shows a
// new window: the main window's shipment when none is given (RateShipment), a bill's rating
// for a bill's quote.
void ShowQuoteWindowModally(const std::function<void()>& rerate = {});
// What follows the window's closing: a window closed with Done is unloaded, one closed to rate
// again is unloaded and its request rated again through `rerate` (as above). A driver that acts
// on a window it did not run modally calls this after each action.
void ActOnQuoteWindowOutcome(const std::function<void()>& rerate = {});
// What showing the window modally is; tests put in a function that drives the window instead.
void SetQuoteWindowShow(std::function<void(frmQPO&)> show);

// Makes the rating driver write the quote and show the window after each rating.
void InstallQuoteWindow();
