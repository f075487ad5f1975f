#include "startup.h"

#include <QApplication>
#include <QLabel>

#include "displayquote.h"
#include "form3.h"
#include "frmbrowser.h"
#include "frmqpo.h"
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
    link.serviceDays = [] { return mainState.gServiceDays; };
    link.destCityCaption = [&form] { return form.lblDestCityState->text().toStdString(); };
    link.lblService = [&form](const std::string& text) {
        form.lblService->setText(QString::fromStdString(text));
    };
    SetQuoteMainWindowLink(link);

    QuoteWindowHooks hooks;
    hooks.cdnRateDialog = [] { ShowCdnRateDialog(LoadedQuoteWindow()); };
    hooks.changeDiscount = [] { ShowChgDiscDialog(LoadedQuoteWindow()); };
    hooks.print = [] { PrintRateQuote(LoadedQuoteWindow()); };
    SetQuoteWindowHooks(hooks);
    SetExchangeRatePageOpener([] {
        gBrowserPage = 2;
        ShowBrowser(QApplication::activeModalWidget());
    });
}
