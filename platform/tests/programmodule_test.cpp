#include "programmodule.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "pdfmodule.h"
#include "webmodule.h"

namespace {

std::string LoadError(const char* file, const char* entry) {
    try {
        ProgramModuleEntry(file, entry);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "loaded";
}

TEST(ProgramModule, EachModuleOfTheBuildLoadsAndHandsOverItsFunctions) {
    auto* pdf = reinterpret_cast<const PdfModule* (*)()>(
        ProgramModuleEntry(kPdfModuleFile, kPdfModuleEntry))();
    ASSERT_NE(pdf, nullptr);
    EXPECT_NE(pdf->openForm, nullptr);
    EXPECT_NE(pdf->copyFirstPage, nullptr);
    auto* web = reinterpret_cast<const WebModule* (*)()>(
        ProgramModuleEntry(kWebModuleFile, kWebModuleEntry))();
    ASSERT_NE(web, nullptr);
    EXPECT_NE(web->get, nullptr);
    // Loaded once: a second asking hands over the same functions.
    EXPECT_EQ(reinterpret_cast<const PdfModule* (*)()>(
                  ProgramModuleEntry(kPdfModuleFile, kPdfModuleEntry))(),
              pdf);
}

TEST(ProgramModule, AModuleThatIsNotThereOrNotTheProgramsIsRefusedWithTheCause) {
    EXPECT_NE(
        LoadError("libfretlyn_nosuchmodule.so", kPdfModuleEntry).find("libfretlyn_nosuchmodule.so"),
        std::string::npos);
    // The web module has no PDF entry: asking it for one is refused, not a crash.
    EXPECT_EQ(LoadError(kWebModuleFile, kPdfModuleEntry),
              std::string(kWebModuleFile) + " is not one of the program's modules");
}

}  // namespace
