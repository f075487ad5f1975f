#pragma once
// The PDF reader: the desktop's default viewer for PDF files, started on a file and waited for
// only long enough to see it start. Tests put a reader of their own in its place.

#include <functional>
#include <string>

// Opens the file in the reader; false when no reader could be started.
using PdfReader = std::function<bool(const std::string& path)>;

bool OpenInPdfReader(const std::string& path);
// A null reader restores the desktop's.
void SetPdfReader(PdfReader reader);
