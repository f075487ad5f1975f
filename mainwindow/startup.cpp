#include "startup.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QLabel>

#include "commandwindows.h"
#include "displayquote.h"
#include "form3.h"
#include "frmbrowser.h"
#include "frmpony.h"
#include "frmqpo.h"
#include "frmratesheet.h"
#include "frmratetable.h"
#include "msgbox.h"
#include "printquote.h"
#include "quotedialogs.h"
#include "ratingstate.h"
#include "tariffdb.h"

void ConnectProgramWindows(Form3& form) {
    SetRatingMessageSink([](const std::string& text, int style, const std::string& title) {
        ShowMessage(QString::fromStdString(text), static_cast<uint8_t>(style),
                    QString::fromStdString(title));
    });
    InstallQuoteWindow();

    QuoteMainWindowLink link;
    link.destCityCaption = [&form] { return form.lblDestCityState->text().toStdString(); };
    link.lblService = [&form](const std::string& text) {
        form.lblService->setText(QString::fromStdString(text));
    };
    SetQuoteMainWindowLink(link);

    QuoteWindowHooks hooks;
    hooks.cdnRateDialog = [] { ShowCdnRateDialog(LoadedQuoteWindow()); };
    hooks.changeDiscount = [] { ShowChgDiscDialog(LoadedQuoteWindow()); };
    hooks.print = [] { PrintRateQuote(LoadedQuoteWindow()); };
    // The customer's discount editors, when this build has them (registered before this runs).
    if (CommandWindowRegistered(CommandWindow::SimpleDiscounts) ||
        CommandWindowRegistered(CommandWindow::Discounts))
        hooks.discountsEditor = [](bool hasShipLocations) {
            OpenCommandWindow(hasShipLocations ? CommandWindow::Discounts
                                               : CommandWindow::SimpleDiscounts);
        };
    hooks.rateTable = [] { ShowRateTableModally(LoadedQuoteWindow()); };
    SetQuoteWindowHooks(hooks);
    SetExchangeRatePageOpener([] {
        gBrowserPage = 2;
        ShowBrowser(QApplication::activeModalWidget());
    });

    RegisterCommandWindow(CommandWindow::RateSheets, [&form] { ShowRateSheetModally(&form); });
    RegisterCommandWindow(CommandWindow::BatchRateTest, [&form] { ShowPonyModally(&form); });
}

std::vector<QImage> ReadProgramIconPictures() {
    std::vector<QImage> pictures;
    for (int size : {32, 64}) {
        const QImage picture(QString::fromStdString(AppFolder()) +
                             QStringLiteral("graphics/fretlyn-%1.png").arg(size));
        if (!picture.isNull()) pictures.push_back(picture);
    }
    return pictures;
}

QIcon ProgramWindowIcon(const std::vector<QImage>& pictures) {
    QIcon icon;
    for (const QImage& picture : pictures) icon.addPixmap(QPixmap::fromImage(picture));
    return icon;
}
