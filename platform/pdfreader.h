#pragma once
// The PDF reader: the desktop's default viewer for PDF files, started on a file and never waited
// for. Tests put a reader of their own in its place.

#include <functional>
#include <string>

#include "desktopopen.h"

// Opens the file in the reader; false when it is known at once that no reader can show it.
using PdfReader = std::function<bool(const std::string& path)>;

// Hands the file to the reader and returns at once. A failure found later (no reader installed)
// goes to onFailure.
bool OpenInPdfReader(const std::string& path, OpenFailure onFailure = {});
// A null reader restores the desktop's.
void SetPdfReader(PdfReader reader);
