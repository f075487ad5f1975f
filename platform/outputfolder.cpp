#include "outputfolder.h"

#include <QDir>
#include <QStandardPaths>
#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace {
std::string& Override() {
    static std::string folder;
    return folder;
}
}  // namespace

std::string OutputFolder() {
    QString folder = QString::fromStdString(Override());
    if (folder.isEmpty()) {
        QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        // A desktop without a documents folder still has a home.
        if (documents.isEmpty()) documents = QDir::homePath() + QStringLiteral("/Documents");
        folder = documents + QStringLiteral("/Fretlyn");
    }
    std::error_code error;
    std::filesystem::create_directories(folder.toStdString(), error);
    if (error)
        throw std::runtime_error("Cannot create the folder " + folder.toStdString() + ": " +
                                 error.message() + ".");
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder.toStdString();
}

void SetOutputFolder(const std::string& folder) {
    Override() = folder;
}
