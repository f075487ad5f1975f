#include "bldates.h"

#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>

#include "text.h"

namespace {

// A two-digit year is read in the window 1930-2029, as the desktop of the bills' first
// edition read it; Qt alone would put "26" in 1926.
QDate InYearWindow(const QDate& date, const QString& format) {
    if (!date.isValid() || format.contains(QStringLiteral("yyyy"))) return date;
    return date.year() < 1930 ? date.addYears(100) : date;
}

// The date a text holds in ISO form or in one of the locale's forms (short, with a two- or
// four-digit year, or long); invalid when it holds none.
QDate DateInLocale(const QString& text, const QLocale& locale) {
    const QDate iso = QDate::fromString(text, Qt::ISODate);
    if (iso.isValid()) return iso;
    QString shortFormat = locale.dateFormat(QLocale::ShortFormat);
    QStringList formats{shortFormat, locale.dateFormat(QLocale::LongFormat)};
    // People write the full year as often as the short form's two digits.
    if (!shortFormat.contains(QStringLiteral("yyyy")))
        formats << shortFormat.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    for (const QString& f : formats) {
        const QDate date = InYearWindow(locale.toDate(text, f), f);
        if (date.isValid()) return date;
    }
    return {};
}

}  // namespace

bool IsBLDate(const std::string& text) {
    const QString t = QString::fromStdString(Trim(text));
    return !t.isEmpty() && DateInLocale(t, QLocale()).isValid();
}

std::string TodayAsBLDate() {
    return QLocale().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();
}

std::string StoredBLDate(const std::string& typed) {
    const QDate date = DateInLocale(QString::fromStdString(Trim(typed)), QLocale());
    return date.isValid() ? date.toString(Qt::ISODate).toStdString() : typed;
}

std::string ShownBLDate(const std::string& stored) {
    const QString t = QString::fromStdString(Trim(stored));
    if (t.isEmpty()) return stored;
    // Bills stored before dates were kept in one form hold them as some desktop wrote them:
    // the user's own forms first, then the US forms the program began with, then any other.
    QDate date = DateInLocale(t, QLocale());
    if (!date.isValid()) date = DateInLocale(t, QLocale(QLocale::English, QLocale::UnitedStates));
    if (!date.isValid()) {
        for (const QLocale& locale : QLocale::matchingLocales(
                 QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory)) {
            date = DateInLocale(t, locale);
            if (date.isValid()) break;
        }
    }
    // A text no form reads is shown as it is, for the date check to point out.
    return date.isValid() ? QLocale().toString(date, QLocale::ShortFormat).toStdString() : stored;
}
