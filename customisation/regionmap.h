#pragma once
// The region map of the full discount editor: every state of the outlines file filled in the
// colour of its region for the location shown, over the background picture; a click on a state
// moves it into the region chosen in the editor. The map control is any RegionMapControl: the
// editor's widget on screen, a recorder in tests.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// A colour as the map control takes it: red + 256 x green + 65536 x blue.
constexpr int32_t MapColourValue(int red, int green, int blue) {
    return red + 256 * green + 65536 * blue;
}

// What the map needs of whatever draws it, in the order a drawing makes the calls. Names are
// those of the polygons as added; a call naming no polygon is ignored.
class RegionMapControl {
  public:
    virtual ~RegionMapControl() = default;

    // Where the outlines start on the picture, in its pixels.
    virtual void SetOriginX(int16_t x) = 0;
    virtual void SetOriginY(int16_t y) = 0;
    virtual void SetOutlineWidth(int16_t width) = 0;
    // The colour of a polygon's label text.
    virtual void SetLabelColour(int32_t colour) = 0;
    // The colour of the outline of the polygon under the mouse.
    virtual void SetHoverColour(int32_t colour) = 0;
    virtual void SetPictureFolder(const std::string& folder) = 0;
    virtual void SetPictureFile(const std::string& file) = 0;
    // Forgets every polygon; the ones added next make the new map.
    virtual void BeginDrawing(const std::string& form) = 0;
    // description: the polygon's kind ("12"), then its line: name and coordinates.
    virtual void AddPolygon(const std::string& name, const std::string& description) = 0;
    // The text written on the polygon; empty for none.
    virtual void SetPolygonLabel(const std::string& text, const std::string& name) = 0;
    virtual void FillPolygon(const std::string& name, int16_t red, int16_t green, int16_t blue) = 0;
    // Shows the polygon as it now stands, at once; blink 0 keeps it steady.
    virtual void ShowPolygon(const std::string& name, int16_t visible, int16_t blink) = 0;
    virtual void EndPolygons() = 0;
    // From here the map shows the picture with every polygon in its colour.
    virtual void EndDrawing(const std::string& form) = 0;
};

using MapRGB = std::array<uint8_t, 3>;

// The fill of a polygon whose name is no state of the state list: it belongs to no region and
// takes no click.
inline constexpr MapRGB kNeutralStateColour = {190, 190, 190};

// What a drawing asks of the customer's tables and the region colours.
struct RegionMapSource {
    // The state list holds the name.
    std::function<bool(const std::string& name)> isListedState;
    // The region of the state within the location drawn; 0 when it has none.
    std::function<uint8_t(const std::string& name)> regionOf;
    // Makes the region's colour current; a region without a colour leaves it as it was.
    std::function<void(uint8_t region)> regionColour;
    std::function<MapRGB()> currentColour;
};

// What went wrong while drawing. The map is drawn as far as it can be all the same.
struct RegionMapProblems {
    std::string missingPolygonFile;  // the path, when it could not be read or holds nothing
    std::string missingPicture;      // the path, when it is not there
    // The first few lines that are no polygon, left out of the map, and how many in all.
    std::vector<std::string> badLines;
    size_t badLineCount = 0;
    // The path, when the file holds more than the map draws, and the line from which on it
    // was left unread.
    std::string oversizePolygonFile;
    size_t polygonFileStoppedAt = 0;
};

inline constexpr const char* kPolygonFile = "graphics/usa_poly.txt";
inline constexpr const char* kMapPicture = "usa.bmp";

// Draws the whole map: the control's set-up, the outlines file read afresh into polygons (its
// good lines, within the bounds of the whole map), then each as a polygon filled in its state's
// region colour.
RegionMapProblems DrawRegionMap(RegionMapControl& control, const std::string& appFolder,
                                std::vector<std::string>& polygons, const RegionMapSource& source);

// Paints one polygon in a colour, at once.
void PaintMapPolygon(RegionMapControl& control, const std::string& name, const MapRGB& colour);

// The messages the problems call for that have not been shown yet in this run: a damaged or
// missing file is worth one message, not one per location the user looks at.
std::vector<std::string> UntoldMapProblems(const RegionMapProblems& problems);
void ResetMapProblemReports();
inline constexpr const char* kMapMessageTitle = "Region map";

// The floor a click on a state writes into the inbound and the outbound row of the region, or
// nothing. A region the user created (above 4) gets the carrier's floor for lanes within the
// location's own state, when the state clicked is that one and the location lies in operating
// region QZB or QZD (California has its own). locationState and stateCode are two-letter
// codes, operatingRegion the location's "QZA" … "QZF"; the floors are the start-up settings.
std::optional<std::string> IntrastateFloor(uint8_t region, const std::string& locationState,
                                           const std::string& stateCode,
                                           const std::string& operatingRegion);
