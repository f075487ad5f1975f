#pragma once
// The Alt key used as a command of its own: pressed and released with nothing between. Alt held
// for another key (Alt-F4, Alt-Tab, a letter), Ctrl or Shift held with it, a click while it is
// down or the window losing the keyboard makes it no command.

class QEvent;

class AltAloneKey {
  public:
    enum class Seen {
        Other,     // not the Alt key itself
        AltKey,    // a press or release of Alt that is no command
        AltAlone,  // the release of an Alt pressed alone: the command
    };

    // Reads one event of the window (keys, clicks, focus and activation changes).
    Seen Read(const QEvent* event);
    // True between a press of Alt alone and the next event that spoils it, so that a caller can
    // take Alt with one key of its own as the same command.
    bool HeldAlone() const { return held_; }

  private:
    bool held_ = false;
};
