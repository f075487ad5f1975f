// Renders the four bill-of-lading windows to PNG files, on a scratch copy of the tariff with a
// few parties, commodities and a bill, so that their layout can be looked at. Not a test: run
// it by hand: blscreens <folder> (with no display it draws offscreen).

#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QPixmap>

#include "blstore.h"
#include "drawoffscreen.h"
#include "frmbl.h"
#include "frmblconfig.h"
#include "frmblparties.h"
#include "frmcommodities.h"
#include "installdialogs.h"
#include "messagebox.h"
#include "messagewindow.h"
#include "settings.h"
#include "tariffdb.h"
#include "testdata.h"

namespace {
void Save(QWidget& w, const QString& folder, const QString& name) {
    w.show();
    QApplication::processEvents();
    w.grab().save(QDir(folder).filePath(name));
}
}  // namespace

int main(int argc, char** argv) {
    DrawOffscreenWithoutDisplay();
    QApplication app(argc, argv);
    InstallMessageWindow();
    InstallQuoteDialogs();
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    messageScript.Start();
    ScratchAppFolder scratch;
    InitClassTables();
    OpenTariffDatabase();

    auto party = [](const char* name, const char* zip, const char* state, int role) {
        PartyRecord p{0, name, "12 Front St", "Anytown", zip, state, role};
        return StoreParty(p, false);
    };
    const BLRecordId s = party("Lakeside Mills", "53202", "WI", 1);
    const BLRecordId c = party("Harbour Foods", "B3H 1A1", "NS", 2);
    const BLRecordId b = party("Prairie Payables", "55401", "MN", 4);
    const BLRecordId shelving = StoreCommodity({0, "Steel shelving", "45", "", "85", 0}, false);
    const BLRecordId paint = StoreCommodity({0, "Paint, in cans", "2", "149980", "55", 1}, false);
    BillOfLading bl;
    bl.bill = {0, "NV-1001", "12/7/26", "123456782", "PO-7781", s, c, b};
    bl.instructions = "Lift gate needed at delivery.";
    bl.lines = {{shelving, "4", "180"}, {paint, "24", "48"}};
    StoreBill(bl, false);

    frmBL* w = BLWindow();
    w->Form_Load();
    Save(*w, folder, "frmBL.png");
    w->mlblEdit_Click();
    Save(*w, folder, "frmBL-editing.png");
    frmBLParties* parties = BLPartiesWindow();
    parties->Form_Load();
    Save(*parties, folder, "frmBLParties.png");
    frmCommodities* commodities = CommoditiesWindow();
    commodities->Form_Load();
    Save(*commodities, folder, "frmCommodities.png");
    frmBLConfig* config = BLConfigWindow();
    config->Form_Load();
    Save(*config, folder, "frmBLConfig.png");
    DestroyBLWindow();
    DestroyBLPartiesWindow();
    DestroyCommoditiesWindow();
    DestroyBLConfigWindow();
    CloseAll();
    return 0;
}
