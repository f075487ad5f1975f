#include "savedpoints.h"

#include <QLabel>

#include "form3.h"
#include "tariffdb.h"

SavedMainWindowPoints::SavedMainWindowPoints()
    : orig_{tariff.gOrigZip,       tariff.gOrigZip3,      tariff.gOrigState,
            tariff.gOrigCityState, tariff.gOrigSubscript, tariff.gOrigCountry},
      dest_{tariff.gDestZip,       tariff.gDestZip3,      tariff.gDestState,
            tariff.gDestCityState, tariff.gDestSubscript, tariff.gDestCountry},
      rating_(rating) {
    if (const Form3* form = MainForm()) {
        origCaption_ = form->lblOrigCityState->text().toStdString();
        destCaption_ = form->lblDestCityState->text().toStdString();
    }
}

void SavedMainWindowPoints::Restore() const {
    tariff.gOrigZip = orig_.zip;
    tariff.gOrigZip3 = orig_.zip3;
    tariff.gOrigState = orig_.state;
    tariff.gOrigCityState = orig_.cityState;
    tariff.gOrigSubscript = orig_.subscript;
    tariff.gOrigCountry = orig_.country;
    tariff.gDestZip = dest_.zip;
    tariff.gDestZip3 = dest_.zip3;
    tariff.gDestState = dest_.state;
    tariff.gDestCityState = dest_.cityState;
    tariff.gDestSubscript = dest_.subscript;
    tariff.gDestCountry = dest_.country;
    rating = rating_;
    if (Form3* form = MainForm()) {
        form->lblOrigCityState->setText(QString::fromStdString(origCaption_));
        form->lblDestCityState->setText(QString::fromStdString(destCaption_));
    }
}
