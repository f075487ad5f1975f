// Fretlyn: the freight-rate quoting program. Opens the tariff that ships with the program, on
// the user's own copy of its database, and shows the main window.

#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <future>

#include "ahead.h"
#include "blprint.h"
#include "blstoredchecks.h"
#include "commandwindows.h"
#include "folderguard.h"
#include "fontconfigload.h"
#include "form3.h"
#include "form3menu.h"
#include "frmbl.h"
#include "frmqpo.h"
#include "frmupgrade.h"
#include "handlerguard.h"
#include "installdialogs.h"
#include "installwindows.h"
#include "messagebox.h"
#include "messagewindow.h"
#include "startup.h"
#include "tariffdb.h"
#include "tariffupdate.h"
#include "upgrade.h"
#include "userdatabase.h"

namespace {
// Without a display the toolkit would abort with its own cryptic complaint.
bool HaveDisplay() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform) return true;
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

// The main window's "Bill of Lading System" opens the bill-of-lading window.
void InstallBillOfLading() {
    RegisterCommandWindow(CommandWindow::BillOfLading, [] { ShowBLWindow(); });
}

// A later start on the same data folder asks for the program's window: the dialog in front of
// it, when one is open, comes forward with it.
void BringForward(QWidget& main) {
    if (main.isMinimized()) main.showNormal();
    main.raise();
    QWidget* window = QApplication::activeModalWidget();
    if (!window) window = &main;
    window->raise();
    window->activateWindow();
}

// A second program on the data folder would work on the same database and write its stale rows
// over the first one's changes; it brings the first one's window forward instead and ends.
// Returns whether this start goes on.
bool TakeDataFolder(DataFolderGuard& guard, int& status) {
    const std::string folder = UserDataFolder();
    switch (guard.Take(folder)) {
        case DataFolderGuard::Outcome::Taken:
        case DataFolderGuard::Outcome::Unguarded:
            return true;
        case DataFolderGuard::Outcome::HandedOver:
            std::fprintf(stderr,
                         "Fretlyn is already running on the data folder %s; its window is "
                         "brought forward.\n",
                         folder.c_str());
            status = 0;
            return false;
        case DataFolderGuard::Outcome::Held:
            break;
    }
    const std::string text = "Fretlyn is already running on the data folder " + folder +
                             ", and its window could not be brought forward.  Use that window, "
                             "or end that Fretlyn before starting it again.";
    std::fprintf(stderr, "%s\n", text.c_str());
    PlatformMessageBox(QString::fromStdString(text), kMbExclamation, "");
    status = 1;
    return false;
}

// The upgrade window ends the program by unloading the main window, as the Exit label does.
// The bills it copies pass the bill-of-lading windows' own checks.
void InstallUpgradeWindow(Form3& form) {
    SetUpgradeMainWindowUnload([&form] { form.close(); });
    SetUpgradeBillsCheck(CheckStoredBLRecords);
    RegisterCommandWindow(CommandWindow::Upgrade, [] { ShowUpgradeWindow(); });
}
}  // namespace

int main(int argc, char** argv) {
    // Under a limit on the size of a file (ulimit -f), a write past it would end the program on
    // the spot, a half-written file left behind; ignored, the write fails and is told as a full
    // disk is.
    std::signal(SIGXFSZ, SIG_IGN);
    if (!HaveDisplay()) {
        // A virtual display would show the window to nobody: only a desktop the user sees
        // will do.
        std::fprintf(stderr,
                     "Fretlyn is a desktop program and found no display to open its window on.\n"
                     "It needs a graphical desktop: start it from a desktop session on this "
                     "machine, or from one that shows this machine's windows remotely (a remote "
                     "desktop, or ssh -X from a machine with a desktop).\n");
        return 2;
    }
    // What the main window does not need in order to be built is done on threads of their own
    // meanwhile: the font configuration is read while the toolkit connects to the display; the
    // tariff is opened, the icon read and the menu's name plate drawn while the window is
    // built. The window waits for each where it needs it.
    FontConfigurationLoad fonts;
    QApplication app(argc, argv);
    QApplication::setApplicationName("Fretlyn");
    QApplication::setDesktopFileName("fretlyn");
    // Taken before anything looks at the data folder: two starts at once set up one copy.
    DataFolderGuard dataFolder;
    if (int status = 0; !TakeDataFolder(dataFolder, status)) return status;
    UserDatabaseStart userDatabase;
    OpenTariffDatabaseAhead([&userDatabase] { userDatabase = PrepareUserDatabase(); });
    auto iconPictures = StartAhead(ReadProgramIconPictures);
    DrawMenuLogoAhead(fonts.Read());
    InstallMessageWindow();
    InstallQuoteDialogs();
    fonts.Wait();
    Form3 form;
    dataFolder.OnBringForward([&form] { BringForward(form); });
    InstallCustomisationWindows();
    ConnectProgramWindows(form);
    InstallUpgradeWindow(form);
    InstallBillOfLading();
    InstallBLRatePrint();
    QApplication::setWindowIcon(ProgramWindowIcon(iconPictures.get()));
    // Every start-up error carries its number, which the carrier's help desk asks for; a
    // terminal sees it too.
    auto startFailed = [](const std::exception& e, bool shown) {
        const std::string report = ErrorReport(e);
        std::fprintf(stderr, "%s\n", report.c_str());
        if (!shown) PlatformMessageBox(QString::fromStdString(report), kMbCritical, "");
        CloseAll();
        return 1;
    };
    // A damaged copy of the user's database may be set aside once, and the start made again on
    // a fresh copy of the tariff.
    for (bool setAside = false;;) {
        try {
            form.Form_Load();
            break;
        } catch (const std::exception& e) {
            DamagedStart damaged = DamagedStart::NotDamaged;
            try {
                if (!setAside) damaged = OfferToSetDamagedDatabaseAside(e, userDatabase);
            } catch (const std::exception& notSetAside) {
                return startFailed(notSetAside, false);
            }
            if (damaged != DamagedStart::SetAside)
                return startFailed(e, damaged == DamagedStart::Declined);
            setAside = true;
        }
    }
    WatchUserDatabaseForDamage();
    form.show();
    form.Form_Activate();
    // Once the loop runs, so that the upgrade window's Done can end the program.
    QTimer::singleShot(0, &form, [userDatabase] { OfferTariffUpdate(userDatabase); });
    const int status = app.exec();
    UnloadQuoteWindow();
    return status;
}
