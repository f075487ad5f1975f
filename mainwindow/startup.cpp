#include "startup.h"

#include <QApplication>
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
