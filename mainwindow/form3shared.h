#pragma once
// What the main window's files share: reading a box, the program's message, and the place a
// transit time is looked up for. Only the main window's own files include it.

#include <QLineEdit>
#include <QRect>
#include <QString>
#include <string>

#include "geography.h"
#include "msgbox.h"
#include "offshore.h"
#include "ratingstate.h"
#include "tariffdb.h"

namespace form3shared {

// Where the accessorial list starts each slide open, in twips: collapsed, below the place it
// opens to.
inline const QRect kAccListCollapsed(240, 5520, 1000, 60);

inline std::string Text(const QLineEdit* box) {
    return box->text().toStdString();
}

inline void Message(const std::string& text, uint8_t style, const std::string& title) {
    ShowMessage(QString::fromStdString(text), style, QString::fromStdString(title));
}

// The offshore destination as entered when there is one, else the destination's code.
inline std::string TransitDestination() {
    return IsOffshoreZip(rating.gOffshoreDestZip) ? rating.gOffshoreDestZip : tariff.gDestZip;
}

}  // namespace form3shared
