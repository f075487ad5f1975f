#pragma once
// The one folder the program writes its documents to (the filled bills of lading among them):
// "Fretlyn" in the user's documents folder, created on first use. Never a fixed drive or path.

#include <string>

// The folder, ending in "/", created when it is not there yet. Throws std::runtime_error when
// it cannot be created.
std::string OutputFolder();
// Points the folder elsewhere (tests); an empty text restores the documents folder.
void SetOutputFolder(const std::string& folder);
