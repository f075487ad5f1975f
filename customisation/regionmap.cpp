#include "regionmap.h"

#include <filesystem>
#include <set>

#include "numbers.h"
#include "polygonfile.h"
#include "tariffdb.h"
#include "text.h"

namespace {

constexpr const char* kFormName = "Form1";
constexpr const char* kPolygonKind = "12,";

}  // namespace

void PaintMapPolygon(RegionMapControl& control, const std::string& name, const MapRGB& colour) {
    control.FillPolygon(name, colour[0], colour[1], colour[2]);
    control.ShowPolygon(name, 1, 0);
}

RegionMapProblems DrawRegionMap(RegionMapControl& control, const std::string& appFolder,
                                std::vector<std::string>& polygons, const RegionMapSource& source) {
    RegionMapProblems problems;
    control.SetOriginX(0);
    control.SetOriginY(0);
    control.SetOutlineWidth(1);
    control.SetLabelColour(MapColourValue(255, 255, 0));
    control.SetHoverColour(MapColourValue(255, 0, 0));

    const std::string polygonPath = appFolder + kPolygonFile;
    const PolygonFileRead read = LoadPolygonFile(polygonPath, polygons);
    if (!read.readable) problems.missingPolygonFile = polygonPath;
    problems.badLines = read.badLines;
    problems.badLineCount = read.badLineCount;
    if (read.stoppedAtLine != 0) {
        problems.oversizePolygonFile = polygonPath;
        problems.polygonFileStoppedAt = read.stoppedAtLine;
    }

    control.SetPictureFolder(appFolder + "graphics");
    control.SetPictureFile(kMapPicture);
    const std::string picture = appFolder + "graphics/" + kMapPicture;
    if (!std::filesystem::is_regular_file(picture)) problems.missingPicture = picture;
    control.BeginDrawing(kFormName);

    // Only lines the control draws were kept: one it could not draw would leave a name
    // without a shape behind.
    for (const auto& line : polygons) {
        const std::string name = PolygonName(line);
        control.AddPolygon(name, kPolygonKind + line);
        control.SetPolygonLabel("", name);
        MapRGB colour = kNeutralStateColour;
        if (source.isListedState(name)) {
            source.regionColour(source.regionOf(name));
            colour = source.currentColour();
        }
        PaintMapPolygon(control, name, colour);
    }
    control.EndPolygons();
    control.EndDrawing(kFormName);
    return problems;
}

namespace {

std::set<std::string>& ToldProblems() {
    static std::set<std::string> told;
    return told;
}

}  // namespace

std::vector<std::string> UntoldMapProblems(const RegionMapProblems& problems) {
    std::vector<std::string> messages;
    if (!problems.missingPolygonFile.empty())
        messages.push_back("The state outlines cannot be read from " + problems.missingPolygonFile +
                           ".  The map stays empty; the discounts can still be edited.");
    if (!problems.missingPicture.empty())
        messages.push_back("The map picture " + problems.missingPicture +
                           " cannot be found.  The states are drawn without it.");
    if (problems.badLineCount > 0) {
        std::string text =
            "These lines of the state outlines are not a state's outline and are "
            "left off the map:";
        // A damaged file could have hundreds: the first few are enough to find the damage.
        for (const auto& line : problems.badLines) text += "\n\"" + Excerpt(line) + "\"";
        if (problems.badLineCount > problems.badLines.size())
            text += "\nand " + std::to_string(problems.badLineCount - problems.badLines.size()) +
                    " more.";
        messages.push_back(text);
    }
    if (!problems.oversizePolygonFile.empty())
        messages.push_back("The state outlines file " + problems.oversizePolygonFile +
                           " is larger than the map can draw (" + Format(kMostMapPoints, "#,##0") +
                           " points, " + Format(kMostMapOutlineLength, "#,##0") +
                           " pixels of outline, " +
                           std::to_string(kMostPolygonFileBytes / (1024 * 1024)) +
                           " MB of text).  The map shows the outlines before line " +
                           Format(problems.polygonFileStoppedAt, "#,##0") +
                           " and leaves off the rest of the file.");
    std::vector<std::string> untold;
    for (auto& message : messages)
        if (ToldProblems().insert(message).second) untold.push_back(std::move(message));
    return untold;
}

void ResetMapProblemReports() {
    ToldProblems().clear();
}

std::optional<std::string> IntrastateFloor(uint8_t region, const std::string& locationState,
                                           const std::string& stateCode,
                                           const std::string& operatingRegion) {
    // Regions 1 to 4 are a new location's own; only a region the user made gets the floor.
    if (region <= 4 || locationState.empty() || locationState != stateCode) return std::nullopt;
    const char* key = nullptr;
    if (operatingRegion == "QZB")
        key = "FLOOR_qzbintra";
    else if (operatingRegion == "QZD")
        key = stateCode == "CA" ? "FLOOR_qzdcalif" : "FLOOR_qzdintra";
    else
        return std::nullopt;
    const auto value = tariff.startupValues.find(key);
    return value == tariff.startupValues.end() ? std::string("00.00") : value->second;
}
