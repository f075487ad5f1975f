#pragma once
// A bill's date: typed as the user's desktop writes dates, stored in one form that does not
// depend on it, and shown in the user's form again.

#include <string>

// A date as the user's locale writes it (short form, with a two- or four-digit year, or long
// form), or in ISO form (2026-12-07).
bool IsBLDate(const std::string& text);
// Today in the locale's short form, as New fills the date box.
std::string TodayAsBLDate();

// A bill's date is stored in ISO form (2026-12-07), whatever the desktop's locale, and shown
// in the locale's short form. A typed text that is no date is kept as typed.
std::string StoredBLDate(const std::string& typed);
// The stored date in the user's short form. Dates stored earlier in a locale's form (such as
// "12/7/26") are read too: in the user's forms, then the US forms, then any locale's. A text
// no form reads is given back unchanged.
std::string ShownBLDate(const std::string& stored);
