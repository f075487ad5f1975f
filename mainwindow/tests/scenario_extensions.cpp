#include "scenario_extensions.h"

#include <algorithm>

namespace {
std::vector<ScenarioExtension>& Extensions() {
    static std::vector<ScenarioExtension> extensions;
    return extensions;
}

const ScenarioExtension* Owner(const std::string& command) {
    for (const auto& e : Extensions())
        if (std::find(e.commands.begin(), e.commands.end(), command) != e.commands.end()) return &e;
    return nullptr;
}
}  // namespace

bool RegisterScenarioExtension(ScenarioExtension extension) {
    Extensions().push_back(std::move(extension));
    return true;
}

bool IsExtensionCommand(const std::string& command) {
    return Owner(command) != nullptr;
}

void PrepareScenarioExtensions() {
    for (const auto& e : Extensions())
        if (e.prepare) e.prepare();
}

bool RunExtensionStep(const std::string& command, const std::string& rest) {
    const ScenarioExtension* owner = Owner(command);
    if (!owner || !owner->step) return false;
    owner->step(command, rest);
    return true;
}
