#pragma once
// The program's modules: parts loaded the first time they are used, so that the libraries only
// they need (qpdf for the PDF forms, Qt's network library for web pages) are not loaded at every
// start. An installed program finds them in its own library folder, a program of the build in
// the build's.

#include <string>

// The entry function of a module, loaded once and kept for the rest of the run. Throws
// std::runtime_error with the cause when the module cannot be loaded.
void* ProgramModuleEntry(const char* file, const char* entry);
