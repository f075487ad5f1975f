#pragma once
// The upgrade window: copies the customer's discounts and bills of lading from an earlier
// edition's database into this one. The copy itself is upgrade.h; the window picks the edition,
// the groups and the two files, and ends the program once it is done, so that the next start
// opens the upgraded data afresh.

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class LabelButton;
class LabelHighlighter;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QRadioButton;
class UpgradeSource;

// What the open-file dialog starts with. Its inner working is the desktop's; the window hands it
// these and takes back the path chosen.
struct OpenFileRequest {
    QString DialogTitle;
    QString InitDir;
    QString FileName;
    QString Filter;
};
// Returns the chosen file, or nothing when the user cancels.
using OpenFileChooser = std::function<std::optional<QString>(const OpenFileRequest&)>;

// Tests answer the file dialogs; an empty chooser puts the desktop's dialog back.
void SetOpenFileChooser(OpenFileChooser chooser);

// How the main window is unloaded when the upgrade window ends the program.
void SetUpgradeMainWindowUnload(std::function<void()> unload);

class frmUpgrade : public QDialog {
    Q_OBJECT
  public:
    explicit frmUpgrade(QWidget* parent = nullptr);
    ~frmUpgrade() override;

    // --- controls
    QLabel* hdlUpgrade;
    QLabel* Image1;
    QGroupBox* Frame1;
    QRadioButton* opt2002;
    QRadioButton* opt2003;
    QRadioButton* opt2004;
    QRadioButton* opt2005;
    QRadioButton* opt2006;
    QGroupBox* Frame2;
    QCheckBox* chkDiscounts;
    QCheckBox* chkBL;
    LabelButton* lblUpgrade;
    LabelButton* lblDone;
    QFrame* Line1;

    // --- window state
    std::string mDBFromPath;
    std::string mDB2007Path;

    // --- handlers
    void Form_Activate();
    void lblUpgrade_Click();
    void lblDone_Click();

    // True once a group has been copied: from then on any way of closing ends the program.
    bool Upgraded() const { return upgraded_; }
    // The earlier databases the file dialogs start on, in place of the edition's own folder:
    // the one that holds the customer's pricing and the one that holds the bills of lading.
    // When they are two files, each ticked group is copied from its own, one after the other.
    // Empty: those of the copies the one in use replaced (PreviousUserDatabase) that hold
    // them, when there is such a copy, else the edition's folder.
    void PreselectEarlierDatabases(const std::string& pricing, const std::string& bills) {
        earlierPricing_ = pricing;
        earlierBills_ = bills;
    }

  public slots:
    // Escape and the window's close box come here too.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    int SelectedEdition() const;
    void BlackLabels();
    void LookAtMe(QLabel* label);
    // One copy from one earlier file: the groups it copies and the file its dialog starts on
    // (empty: the edition's own folder).
    struct Pass {
        bool discounts = false;
        bool billsOfLading = false;
        std::string startOn;
    };
    std::vector<Pass> Passes();
    bool PickDBFrom(int edition, const std::string& startOn);
    bool PickDB2007();
    int OpenDBFrom(UpgradeSource& source, const Pass& pass);
    bool OpenDB2007(const UpgradeSource& source);
    void Upgrade();

    LabelHighlighter* highlighter_;
    bool upgraded_ = false;
    bool unloaded_ = false;
    std::string earlierPricing_;
    std::string earlierBills_;
};

// The one upgrade window while it is up; none otherwise.
frmUpgrade* LoadedUpgradeWindow();
// Opens the upgrade window modally and unloads it when it closes; the named earlier databases
// are those its file dialogs start on (PreselectEarlierDatabases). True when it copied a group.
bool ShowUpgradeWindow(const std::string& earlierPricing = {},
                       const std::string& earlierBills = {});
