#pragma once
// The toolkit reads the desktop's font configuration (dozens of XML files and the font caches)
// the first time a window measures text, which the main window does while it is being built.
// Reading it on a thread of its own while the toolkit connects to the display takes that time
// out of the wait for the first window; the toolkit then finds the configuration loaded.

#include <future>

class FontConfigurationLoad {
public:
    // Starts reading the configuration; may come before the application object exists.
    FontConfigurationLoad();
    // Waits for the reading: the program does not end under it.
    ~FontConfigurationLoad();
    FontConfigurationLoad(const FontConfigurationLoad&) = delete;
    FontConfigurationLoad& operator=(const FontConfigurationLoad&) = delete;

    // Returns once the configuration is read. Call it before the first text is measured, so
    // that the toolkit does not read the configuration a second time meanwhile.
    void Wait() const { read_.wait(); }
    // The same wait for another thread that draws text.
    std::shared_future<void> Read() const { return read_; }

private:
    std::shared_future<void> read_;
};
