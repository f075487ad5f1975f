// Fretlyn: the freight-rate quoting program. Opens the tariff that ships with the program, on
// the user's own copy of its database, and shows the main window.

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <QApplication>
#include <QIcon>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
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

std::string UserName(uid_t user) {
    passwd entry{};
    passwd* found = nullptr;
    char buffer[1024];
    const std::string number = "user id " + std::to_string(user);
    if (::getpwuid_r(user, &entry, buffer, sizeof buffer, &found) == 0 && found)
        return std::string(found->pw_name) + " (" + number + ")";
    return number;
}

// "<path><role> is held by another user, <who>"
std::string HeldByAnotherUser(const DataFolderGuard::Obstacle& obstacle, const char* role = "") {
    return obstacle.path + role + " is held by another user, " + UserName(obstacle.user);
}

void SayStartEnds(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
    PlatformMessageBox(QString::fromStdString(text), kMbExclamation, "");
}

// A second program on the data folder would work on the same database and write its stale rows
// over the first one's changes; it brings the first one's window forward instead and ends.
// Returns whether this start goes on.
bool TakeDataFolder(DataFolderGuard& guard, int& status) {
    using Kind = DataFolderGuard::Obstacle::Kind;
    const std::string folder = UserDataFolder();
    const DataFolderGuard::Outcome outcome = guard.Take(folder);
    const DataFolderGuard::Obstacle& inTheWay = guard.InTheWay();
    status = 1;
    switch (outcome) {
        case DataFolderGuard::Outcome::Taken:
            if (inTheWay.kind == Kind::Socket)
                std::fprintf(stderr,
                             "Fretlyn runs on the data folder %s, but a later start cannot bring "
                             "its window forward: %s.\n",
                             folder.c_str(),
                             HeldByAnotherUser(inTheWay, ", by which it would reach it,").c_str());
            return true;
        case DataFolderGuard::Outcome::Unguarded:
            return true;
        case DataFolderGuard::Outcome::HandedOver:
            std::fprintf(stderr,
                         "Fretlyn is already running on the data folder %s; its window is "
                         "brought forward.\n",
                         folder.c_str());
            status = 0;
            return false;
        case DataFolderGuard::Outcome::HeldByAnotherUser:
            if (inTheWay.kind == Kind::Lock) {
                SayStartEnds("Fretlyn cannot start on the data folder " + folder +
                             ": the lock on " + HeldByAnotherUser(inTheWay) +
                             ".  Fretlyn works on a data folder for one user at a time.  Ask "
                             "that user to end their Fretlyn, or start Fretlyn on a data folder "
                             "of your own.");
                return false;
            }
            break;
        case DataFolderGuard::Outcome::Held:
            break;
    }
    const std::string why = inTheWay.kind == Kind::Socket
                                ? ": " + HeldByAnotherUser(inTheWay, ", by which it is reached,")
                                : std::string();
    SayStartEnds("Fretlyn is already running on the data folder " + folder +
                 ", and its window could not be brought forward" + why +
                 ".  Use that window, or end that Fretlyn before starting it again.");
    return false;
}

// A logout ends the programs of the session with SIGTERM. The program is closed as its user
// closes it, so that what its main window keeps on closing is kept: the signal only writes to
// a pipe, which the event loop reads.
int terminatePipe[2] = {-1, -1};

void OnTerminate(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(terminatePipe[1], &byte, 1);
    errno = saved;
}

// A signal before the main window is shown ends the start: a question of the start that is open
// closes unanswered (nobody is there to answer it at a logout), and `ended` says so.
void CloseOnTerminate(QWidget& main, bool& ended) {
    if (::pipe2(terminatePipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier = new QSocketNotifier(terminatePipe[0], QSocketNotifier::Read, &main);
    QObject::connect(notifier, &QSocketNotifier::activated, &main, [&main, &ended] {
        char bytes[16];
        while (::read(terminatePipe[0], bytes, sizeof bytes) > 0) {
        }
        ended = true;
        if (main.isVisible())
            main.close();
        else
            QCoreApplication::exit(0);
    });
    struct sigaction action {};
    action.sa_handler = OnTerminate;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
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
    bool terminated = false;
    CloseOnTerminate(form, terminated);
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
            if (damaged != DamagedStart::SetAside) {
                if (terminated) break;  // the question closed by a logout: no answer
                return startFailed(e, damaged == DamagedStart::Declined);
            }
            setAside = true;
        }
    }
    if (terminated) {
        CloseAll();
        return 0;
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
