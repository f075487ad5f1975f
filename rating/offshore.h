#pragma once
// Destinations in Alaska, Hawaii and Puerto Rico: rated to a gateway, with the beyond leg kept
// aside. The values here live from the set-up until another destination replaces them.

#include <cstdint>
#include <functional>
#include <string>

struct OffshoreState {
    std::string gOffshoreName;  // "Puerto Rico", "Hawaii" or "Alaska"
    bool gIsPR = false;
    bool gIsAK = false;
    bool gIsHI = false;
    uint8_t gOffshoreZone = 0;
    std::string gOffshoreCity;  // Alaska: the city as typed, before its comma, upper case
    int gAKCommaPos = 0;        // 1-based position of that comma; 0 when the text has none
    std::string gPRPort;        // "32254" or "07072"
    bool gMilitary = false;
    bool gMilitaryAnswer = false;
    bool gAskPRPort = true;        // the port question is still to be asked
    bool gAskMilitaryBase = true;  // the military question is still to be asked

    void Reset() { *this = OffshoreState(); }
};
extern OffshoreState offshore;

// The gateways an offshore destination is rated through.
inline constexpr const char* kJacksonvillePort = "32254";
inline constexpr const char* kElizabethPort = "07072";
inline constexpr const char* kAlaskaGateway = "98424";
inline constexpr const char* kWestCoastPorts[4] = {"90744", "94606", "97203", "98124"};

// Prepares an offshore destination of the state "PR", "HI" or "AK": keeps the ZIP as entered
// in gOffshoreDestZip, puts the gateway's ZIP in gDestZip, finds the delivery zone and asks the
// port and military questions. Returns false when the destination cannot be rated (an Alaska
// city or a ZIP without a delivery zone, a lane file that cannot be read): the reason has been
// shown through RatingMessage, the destination is left not verified with its entered ZIP, and
// every kept offshore value is cleared, so no rating can run on half a set-up. Any other state
// has nothing to prepare and returns true.
bool SetupOffshore(const std::string& state);
// "Puerto Rico", "Hawaii" or "Alaska" for "PR", "HI" or "AK"; nullptr for any other state.
const char* OffshoreName(const std::string& state);

bool IsHawaiiWillCallZip(const std::string& zip);
// Asks the military question for a Hawaii military ZIP while it is pending.
bool CheckMilitaryZip(const std::string& zip);
// Asks the military question for an Alaska military city while it is pending.
bool AskMilitaryBase(const std::string& city);
// The west-coast port whose lane from the origin has the lowest grid row, among the ports the
// carrier serves from there. The argument is not used: the origin is gOrigSubscript.
std::string PickWestCoastPort(const std::string& zip);
// Empties the kept offshore values: the destination is no longer offshore.
void ClearOffshoreValues();

// What the dialogs' Done labels record; a question hook answers through these as well.
void AnswerPRPort(bool elizabeth);  // gPRPort, and the port question is answered
void AnswerMilitary(bool yes);      // gMilitaryAnswer, and the military question is answered

// How the questions reach the user. Each is called with the option to show selected and
// returns when the user leaves the question; an answer is recorded only through AnswerPRPort
// or AnswerMilitary. Leaving the port question without one keeps the earlier port and the
// question armed; leaving the military question without one takes the "No" it proposed.
// An empty hook (the default) asks through the dialogs registered with SetOffshoreDialogs;
// tests and scenario runs put in their own.
using PRPortQuestion = std::function<void(bool jacksonvilleSelected)>;
using MilitaryQuestion = std::function<void(bool yesSelected)>;
void SetPRPortQuestion(PRPortQuestion question);
void SetMilitaryQuestion(MilitaryQuestion question);

// The text of the main window's destination box (an Alaska city is read from it). The main
// window registers it; without one the set-up takes gDestCityState, or the ZIP as entered.
using DestEntryTextQuery = std::function<std::string()>;
void SetDestEntryTextQuery(DestEntryTextQuery query);

// The questions' default: the quote window's modal dialogs (offshoredialogs.h), which the
// program registers at start-up. Without them nothing is shown and nothing is answered.
void SetOffshoreDialogs(PRPortQuestion portDialog, MilitaryQuestion militaryDialog);
