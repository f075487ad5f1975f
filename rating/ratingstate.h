#pragma once
// The program-wide state of the rating engine: what the rating request hands over, the line
// classes, the lane's grid row and factors, the break discounts and floor, and the per-break
// arrays of the last rating that the quote window, the charges and the printed quote read.
//
// The rating state is complete only after RateShipment (or ComputeCharges) has returned
// normally; a refused rating may leave parts of it written, and nothing reads it then.

#include <array>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>

#include "numbers.h"

// Slots of the per-break arrays: 0 the minimum charge, 1 L5C … 10 30M. The old arrays ran to
// 11, and the quote window still counts twelve slots per line.
inline constexpr int kBreakSlots = 12;
inline constexpr int kLineSlots = 6;  // lines 0 to 4, and one spare slot
inline constexpr int kCommodityLines = 5;

struct RatingState {
    // --- handed over by the rating request (and the bill-of-lading rating)
    std::array<std::string, kLineSlots> gLineWeight;  // weight texts as typed
    int32_t gLaneCode = 0;                            // six lane digits read as a number
    bool gOutbound = false;  // the origin prefix is one of the customer's shipping locations
    bool gInbound = false;   // the destination prefix is one
    std::string gOffshoreDestZip;  // an offshore destination as entered (gDestZip is its port)
    uint8_t gServiceDays = 0;      // transit days of the lane; the quote's service standard

    // --- line classes and FAK profile
    std::array<std::string, kLineSlots> gLineClass;        // as rated, after FAK mapping
    std::array<std::string, kLineSlots> gLineClassActual;  // as entered, when a FAK applies
    bool gFAKActive = false;       // a FAK profile changed the class of a rated line
    uint8_t gFAKRegionOut = 0;
    uint8_t gFAKRegionIn = 0;
    std::string gFAKProfile;       // the profile the last FindFAKRow found (identity when none)
    std::array<Single, 6> gCanTax{};

    // --- rate grid and lane factors
    std::array<int32_t, 11> gGridRow{};  // 0 minimum charge, 1..10 class-100 rates, cents
    Single gLanePush = 1;
    Single gOrigFactor = 1;
    Single gDestFactor = 1;

    // --- lane flags, break discounts and floor
    bool gUpperMidwest = false;
    bool gChicagoZip = false;
    bool gAtlantaDiscZip = false;
    bool gEastWestCanada = false;
    std::array<std::string, kBreakSlots> gBreakDisc;   // after the carrier's minimums
    std::array<std::string, kBreakSlots> gBreakDisc2;  // the discount row as loaded
    std::string gLaneFloor;                            // dollars as text; empty or 0: none
    std::string gOrigRegion, gDestRegion;              // "QZA", "QZB", "QZD", "QZF"

    // --- the charges of the last rating
    uint8_t gLineCount = 0;
    int32_t gTotalWeight = 0;
    uint8_t gFirstBreak = 0;
    uint8_t gLastBreak = 0;
    // [break][line]: the quote window's element break + 12 × line.
    std::array<std::array<Single, kLineSlots>, kBreakSlots> gLineRate{};
    std::array<std::array<Single, kLineSlots>, kBreakSlots> gLineCharge{};
    std::array<Single, kBreakSlots> gRatedAsWeight{};
    std::array<Single, kBreakSlots> gDefWeight{};
    std::array<Single, kBreakSlots> gDefRate{};
    std::array<Single, kBreakSlots> gDefCharge{};
    std::array<Single, kBreakSlots> gGrossCharge{};
    std::array<Single, kBreakSlots> gDiscAmount{};
    std::array<Single, kBreakSlots> gNetCharge{};
    double gLineSum = 0;
    bool gFloorApplied = false;
    uint8_t gBreak = 0;  // the break the quote shows (written by the quote display)

    // --- guaranteed and economy (Thriftlane) switches
    bool gPXSOn = false;        // Thriftlane pricing is in force for this rating
    Single gPXSPct = 0;         // Thriftlane discount factor (percentage × 0.01)
    uint8_t gPXSDays = 0;       // Thriftlane transit days of the lane
    Single gPXSEnteredPct = 0;  // percentage typed in the quote window, 0 when none
    std::string gEnteredDisc;   // discount typed in the quote window for every break, or empty
    bool gPXSPass = false;      // the quote display's Thriftlane pass is under way
    Single gPXSSaving = 0;
    bool gGuaranteedOn = false;
    Single gGuaranteedCharge = 0;

    // --- the quote window's twins of the main window's accessorial flags
    bool gQAccLiftgate = false;
    bool gQAccGuaranteed = false;
    bool gQAccThriftlane = false;
    bool gQAccHazardous = false;
    bool gQAccInside = false;
    bool gQAccResidential = false;
    // A bill is being rated: the accessorials the main window stored as chosen are not its own.
    bool gMainChoicesAside = false;

    void Reset() { *this = RatingState(); }
};

extern RatingState rating;

// The identity FAK profile: every class rates as itself.
inline constexpr const char* kIdentityFAKProfile = "000102030405060708091011121314151617";

// A rating the engine refuses: the request or the customer's data cannot be rated as it
// stands. The text and title are shown to the user as they are.
class RatingRefusal : public std::runtime_error {
public:
    RatingRefusal(std::string text, std::string title, int style = 48)
        : std::runtime_error(text), text_(std::move(text)), title_(std::move(title)),
          style_(style) {}
    const std::string& text() const { return text_; }
    const std::string& title() const { return title_; }
    int style() const { return style_; }

private:
    std::string text_;
    std::string title_;
    int style_;
};

// Messages of the engine go through one sink, which the application points at the message
// window; without one they are dropped. Style 48 is OK only, 36 Yes/No.
using RatingMessageSink = std::function<void(const std::string& text, int style,
                                             const std::string& title)>;
void SetRatingMessageSink(RatingMessageSink sink);
void RatingMessage(const std::string& text, int style, const std::string& title);

// What RateShipment does once the charges are computed: write the quote (the display hook,
// run inside the rating's read transaction) and show the quote window (the show hook, run
// after it, since the window waits for the user). Registered by the quote window's code;
// without them the rating ends at the state.
using QuoteDisplayHook = std::function<void()>;
// Registering one replaces both.
void SetQuoteDisplayHook(QuoteDisplayHook display, QuoteDisplayHook show = nullptr);
const QuoteDisplayHook& GetQuoteDisplayHook();
const QuoteDisplayHook& GetQuoteShowHook();
