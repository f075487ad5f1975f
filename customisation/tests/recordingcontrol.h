#pragma once
// A map control that writes every call down as text, in the order made, for tests to compare.

#include <string>
#include <vector>

#include "regionmap.h"

// Writes every call down as text, in the order made.
class RecordingControl : public RegionMapControl {
  public:
    std::vector<std::string> calls;

    void SetOriginX(int16_t x) override { Note("60 " + std::to_string(x)); }
    void SetOriginY(int16_t y) override { Note("61 " + std::to_string(y)); }
    void SetOutlineWidth(int16_t w) override { Note("59 " + std::to_string(w)); }
    void SetLabelColour(int32_t c) override { Note("58 " + std::to_string(c)); }
    void SetHoverColour(int32_t c) override { Note("57 " + std::to_string(c)); }
    void SetPictureFolder(const std::string& f) override { Note("1 " + f); }
    void SetPictureFile(const std::string& f) override { Note("2 " + f); }
    void BeginDrawing(const std::string& form) override { Note("87 " + form); }
    void AddPolygon(const std::string& name, const std::string& d) override {
        Note("130 " + name + " | " + d);
    }
    void SetPolygonLabel(const std::string& text, const std::string& name) override {
        Note("74 '" + text + "' " + name);
    }
    void FillPolygon(const std::string& name, int16_t r, int16_t g, int16_t b) override {
        Note("143 " + name + " " + std::to_string(r) + " " + std::to_string(g) + " " +
             std::to_string(b));
    }
    void ShowPolygon(const std::string& name, int16_t v, int16_t blink) override {
        Note("137 " + name + " " + std::to_string(v) + " " + std::to_string(blink));
    }
    void EndPolygons() override { Note("88"); }
    void EndDrawing(const std::string& form) override { Note("89 " + form); }

    // The fill calls only.
    std::vector<std::string> Fills() const {
        std::vector<std::string> out;
        for (const auto& c : calls)
            if (c.rfind("143 ", 0) == 0) out.push_back(c.substr(4));
        return out;
    }

  private:
    void Note(std::string call) { calls.push_back(std::move(call)); }
};
