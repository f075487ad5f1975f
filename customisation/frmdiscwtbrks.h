#pragma once
// The weight-break discount editor: the eleven break discounts of one discounts row in masked
// boxes. It returns what the opener's discount box shows afterwards; the opener shows it.

#include <QDialog>
#include <array>
#include <optional>
#include <string>

#include "weightbreaks.h"

class QLabel;
class MaskedEdit;
class LabelButton;
class LabelHighlighter;

class frmDiscWtBrks : public QDialog {
    Q_OBJECT
  public:
    explicit frmDiscWtBrks(QWidget* parent = nullptr);

    // Loads the row of gShipLoc, gRegion and gIBOB; false (message shown) when it cannot.
    bool Form_Load();
    // What Done left for the opener's box: "tier" or the 5C discount; nothing when not stored.
    const std::optional<std::string>& Result() const { return result_; }
    LabelHighlighter* Highlighter() const { return highlighter_; }

    std::array<MaskedEdit*, 11> mskWtBrks{};
    std::array<QLabel*, 11> lblWtBrk{};
    LabelButton* lblDone;

  public slots:
    void lblDone_Click();
    void mskWtBrks_LostFocus(int index);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::optional<std::string> result_;
    LabelHighlighter* highlighter_;
};

// Opens the editor modally at the opener's top and left plus the offsets (twips) for the row
// of gShipLoc, gRegion and gIBOB; returns the opener's new box text when Done stored the row.
std::optional<std::string> ShowWeightBreakEditor(QWidget* opener, int leftTwips, int topTwips);
