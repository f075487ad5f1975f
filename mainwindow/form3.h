#pragma once
// The main window: where a rating request is entered, checked and started.

#include <QRect>
#include <QWidget>
#include <array>
#include <functional>

#include "altkey.h"
#include "geography.h"
#include "labels.h"
#include "mainstate.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QFrame;
class QScrollArea;
class QTimer;
class LabelButton;
class MainMenu;

class Form3 : public QWidget, public PointEntryView {
    Q_OBJECT
  public:
    explicit Form3(QWidget* parent = nullptr);
    ~Form3() override;

    // Start-up of the data layer and the window. Throws when the data cannot be opened; the
    // caller reports it and ends the program, so the window never opens half loaded.
    void Form_Load();
    // Fills an empty accessorial list and enters the saved default origin. Runs at start and
    // when a command window or the quote window closes, never after a message.
    void Form_Activate();
    // Saves the default classes and closes the data. Runs once, however the window closes.
    void Form_Unload();

    // What ends the program after unloading; tests replace it.
    static void SetProgramEnd(std::function<void()> end);

    // --- controls
    LabelButton* lblOrigin;
    LabelButton* lblDestination;
    QLineEdit* txtozip;
    QLineEdit* txtdzip;
    QLabel* lblOrigCityState;
    QLabel* lblDestCityState;
    QListWidget* lstCities;
    QLabel* lblChooseCity;
    QLabel* hdlCommodities;
    std::array<QLabel*, 5> lblweight{};
    std::array<QLabel*, 5> lblclass{};
    std::array<QLabel*, 5> lblPCF{};
    std::array<QLineEdit*, 5> txtweight{};
    std::array<QComboBox*, 5> cmbclass{};
    std::array<QLineEdit*, 5> txtDensity{};
    QLabel* lblDensity;
    LabelButton* lblClickHere;
    QLineEdit* txtOceanDensity;
    QCheckBox* chkHawaiiWillCall;
    QLabel* lblService;
    LabelButton* lblApplyAccessorials;
    QListWidget* lstAccessorials;
    LabelButton* lblRate;
    LabelButton* lblExit;
    QTimer* Timer1;
    // The accessorial list's place in twips, as it slides open; drawn through AccListToPixels.
    QRect accListTwips;
    QFrame* Line1;
    QFrame* Line2;
    // The command labels, their groups and the help desk panel (form3menu.cpp).
    MainMenu* menu = nullptr;

    // --- handlers
    void txtozip_LostFocus();
    void txtdzip_LostFocus();
    void txtozip_GotFocus();
    void txtdzip_GotFocus();
    void txtozip_Click();
    void lstCities_Click();
    void lstCities_LostFocus();
    void lblOrigin_DblClick();
    void lblExit_Click();
    void txtweight_GotFocus(int index);
    void cmbclass_LostFocus(int index);
    void lblClickHere_Click();
    void lstAccessorials_Click();
    void lblApplyAccessorials_Click();
    void Timer1_Timer();
    void Form_Click();
    void lblRate_Click();
    void ShowDensityEntry();
    void ShowClassEntry();
    // Copies the commodity boxes into the model the rating engine reads.
    void SyncCommodityLines();

    // --- PointEntryView
    void ShowHourglass() override;
    void ClearCityList() override;
    void AddCity(const std::string& entry) override;
    std::vector<std::string> CityEntries() const override;
    void RemoveCity(int index) override;
    void ShowCityList() override;
    void SetZipText(bool isDest, const std::string& text) override;
    void SetCityCaption(bool isDest, const std::string& caption) override;
    void FocusDestZip() override;
    void FocusFirstWeight() override;
    bool MilitaryQuestionPending() const override;
    void SetLocked(bool locked) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void BuildControls();
    // Fits the window to the free room of the screen it opens on (see form3.cpp).
    void FitScreen();
    void SetKeyboardOrder();
    void FillAccessorialList();
    void EnterDefaultOrigin();
    void SaveDefaultClasses();
    // Shared tails of the origin and destination checks.
    void OriginTail();
    void DestinationTail();
    void ShowTransitDays(bool evenToPuertoRico = false);
    void ShowOceanControls(bool oceanCube, bool willCall);
    void HideOceanControls();
    void RefuseOffshoreOrigin(bool typedAsCity = false);
    // A check that finds the tariff data wanting says so and leaves the end not verified.
    void ReportDataError(const std::exception& e, bool isDest);
    // Sets a box's text without its change handler marking the end not verified.
    void SetTextQuietly(QLineEdit* box, const QString& text);
    // Gives the focus back to a box that refused its entry; other boxes' checks stay quiet
    // until it has it, so two refusing boxes cannot pass the focus back and forth.
    void Refocus(QWidget* box);
    bool KeyPress(QObject* watched, QKeyEvent* key);
    // The Alt key rates when it is pressed and released with nothing between (or as Alt-R):
    // Alt-F4, Alt-Tab, Ctrl+Alt and a click with Alt held rate nothing. True when it took the
    // event.
    bool AltKey(QEvent* event);
    void PlaceAccessorialList();
    // Hides the list; when it has the focus, the focus goes to `focusTo` first.
    void HideAccessorialList(QWidget* focusTo);
    void ShowEntryMode(bool density);
    void StoreAccessorialMarks();
    bool CheckRequest();
    // The list's click, taken back whole (stored marks, flags and selection) when the
    // database refuses it.
    void AccessorialClickAtomically();
    void RememberAccessorialChoices();
    std::vector<bool> accChoices_;  // the list's selection as last stored

    LabelHighlighter* highlighter_;
    // The view the window's contents scroll in when the screen is smaller than the window.
    QScrollArea* fitArea_ = nullptr;
    bool fitting_ = false;
    QWidget* pendingRefocus_ = nullptr;
    bool quietText_ = false;
    AltAloneKey altKey_;
    bool hourglass_ = false;
    bool unloaded_ = false;
    bool fillingAccessorials_ = false;
};

// The one main window of the run, once created.
Form3* MainForm();
