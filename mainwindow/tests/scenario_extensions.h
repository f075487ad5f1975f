#pragma once
// Commands that other parts of the program add to the quote scenarios, each in a file of its
// own beside its part. An extension registers itself when the runner starts.

#include <functional>
#include <string>
#include <vector>

struct ScenarioExtension {
    std::vector<std::string> commands;
    // Runs before the windows are connected, once per scenario.
    std::function<void()> prepare;
    // Runs one of its commands with the rest of the line.
    std::function<void(const std::string& command, const std::string& rest)> step;
};

// Returns true so that an extension can register itself in a static initialiser.
bool RegisterScenarioExtension(ScenarioExtension extension);

bool IsExtensionCommand(const std::string& command);
void PrepareScenarioExtensions();
// False when no extension knows the command.
bool RunExtensionStep(const std::string& command, const std::string& rest);
