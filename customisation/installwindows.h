#pragma once
// Registers the windows of the customer's pricing with the commands that open them, and makes
// the rating read the economy-service percentage from the simple discount editor.

void InstallCustomisationWindows();
