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
    // The earlier database the first file dialog starts on, in place of the edition's own
    // folder; empty for the copy the one in use replaced (PreviousUserDatabase), when there is
    // one, else the edition's folder.
    void PreselectEarlierDatabase(const std::string& path) { earlierDatabase_ = path; }

  public slots:
    // Escape and the window's close box come here too.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    int SelectedEdition() const;
    void BlackLabels();
    void LookAtMe(QLabel* label);
    bool PickDBFrom(int edition);
    bool PickDB2007();
    int OpenDBFrom(UpgradeSource& source);
    bool OpenDB2007(const UpgradeSource& source);
    void Upgrade();

    LabelHighlighter* highlighter_;
    bool upgraded_ = false;
    bool unloaded_ = false;
    std::string earlierDatabase_;
};

// The one upgrade window while it is up; none otherwise.
frmUpgrade* LoadedUpgradeWindow();
// Opens the upgrade window modally and unloads it when it closes; a named earlier database is
// the one its first file dialog starts on.
void ShowUpgradeWindow(const std::string& earlierDatabase = {});
