#pragma once
// What the customer-pricing windows share: controls placed in twips, their fonts and colours,
// and how a window is shown modally (a test drives the window instead of waiting for a user).

#include <QColor>
#include <QDialog>
#include <QFont>
#include <QRect>
#include <QString>
#include <cstdint>
#include <functional>

#include "twips.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class LabelButton;

QLabel* PlaceLabel(QWidget* parent, const char* name, const QString& text, const QRect& where,
                   const QFont& font);
LabelButton* PlaceButton(QWidget* parent, const char* name, const QString& text, const QRect& where,
                         const QFont& font);
QLineEdit* PlaceBox(QWidget* parent, const char* name, int maxLength, const QRect& where,
                    const QFont& font);
QPushButton* PlaceCommand(QWidget* parent, const char* name, const QString& text,
                          const QRect& where);
void PaintBackground(QWidget* window, const QColor& colour);
// The text colour of a label or a box.
void PaintText(QWidget* widget, const QColor& colour);

// Shows a window modally. With a runner set (tests, scenario runs) the runner gets the window
// instead; null restores the user's event loop.
using PricingModalRunner = std::function<void(QDialog& window)>;
void SetPricingModalRunner(PricingModalRunner runner);
void RunPricingModal(QDialog& window);

// While it lives the pointer is the hourglass; the pointer comes back however the scope ends.
class PricingHourglass {
  public:
    PricingHourglass();
    ~PricingHourglass();
    PricingHourglass(const PricingHourglass&) = delete;
    PricingHourglass& operator=(const PricingHourglass&) = delete;
};
