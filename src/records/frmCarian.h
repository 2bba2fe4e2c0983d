#pragma once

#include "assign/IpRecordStore.h"
#include "assign/RecordSearch.h"
#include "records/LocationSearch.h"
#include "records/SearchRules.h"

#include <QWidget>

#include <array>
#include <optional>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;

namespace tarvo {

class AppContext;
class RecordWindows;
class SearchResultModel;

// The record search window "Record Search": finds IP records by one of five texts (IP address, staff
// number, host name, remarks, user name) or by location, and lists them in a grid. A double-click on a
// row, or a search that finds exactly one, shows the record in the detail window; the Delete key
// deletes the selected rows, all of them or none. The search on screen is kept (SearchSQL) so that the
// detail window can have it run again after a save or a delete.
class frmCarian final : public QWidget
{
    Q_OBJECT
public:
    frmCarian(AppContext& context, RecordWindows& windows, QWidget* parent = nullptr);
    ~frmCarian() override;

    // The search whose rows the grid lists.
    const RecordSearch& searchSQL() const { return SearchSQL; }
    // The result model of the grid.
    SearchResultModel& results() const { return *m_model; }

    // After the detail window saved: the last search is read again and the grid redrawn.
    void refreshAfterSave();
    // After the detail window deleted: a "Begin with" text search or a location search runs again
    // (without opening the detail window for a single remaining row); otherwise the list is emptied.
    void refreshAfterDelete();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class SearchMode
    {
        Text,
        Location,
    };

    void buildControls();
    QGroupBox* buildKindFrame();
    QGroupBox* buildTextFrame();
    QGroupBox* buildLocationFrame();
    void Form_Load();

    // The kinds and the match options.
    void chooseTextKind(TextKind kind);
    void OptCarian_Click(bool all);
    void Option3_Click();
    void OptCarian4_Click();
    void showLocationFrames();
    void FillAreaCombo();
    MatchOption matchOption() const;

    // The searches.
    void cmdCari_Click();
    void cboRegion_Click();
    void cboState_Click();
    void cboCity_Click();
    void cboWorkGroup_Click();
    void txtSegment_Enter();
    void cariBaseLocation();
    void cariBaseLocation2();
    // Runs the search; when its first rows are listed, searchSettled shows them or says it found nothing.
    void runSearch(const RecordSearch& search, const QString& notFound, bool beepWhenNone, bool detailTip);
    void searchSettled(const DbOutcome& outcome);
    void paparSenaraiCarian();
    void showCount();
    void clearGrid();

    // The grid.
    void SetupResultGrid();
    int baseColumnWidth(int column) const;
    void fitColumns(int first, int last);
    void applyColumnWidths();
    void gridCarian_DblClick(int row);
    void gridCarian_Delete();
    void repeatSearchOnScreen();

    bool workgroupMode() const;
    void showError(const QString& error);

    AppContext& m_context;
    RecordWindows& m_windows;
    IpRecordStore m_store;
    LocationSearch m_location;
    SearchResultModel* m_model;

    // What a search the user ran does when its first rows are listed.
    struct PendingSearch
    {
        QString notFound;
        bool beepWhenNone = false;
        bool detailTip = false;
        bool autoDetail = false;
    };
    static constexpr int BlankColumnIndex = 6;

    RecordSearch SearchSQL;
    std::optional<PendingSearch> m_pending;
    std::array<int, BlankColumnIndex> m_contentWidths{};
    std::array<bool, BlankColumnIndex> m_userSized{};
    bool m_applyingWidths = false;
    bool NoAutoDetail = false;
    SearchMode m_mode = SearchMode::Text;
    TextKind m_kind = TextKind::IpAddress;

    QRadioButton* Option1;
    QRadioButton* Option2;
    QRadioButton* Option3;
    QRadioButton* Option4;
    QRadioButton* Option5;
    QRadioButton* Option6;
    QGroupBox* frameIPAddress;
    QLabel* lblCarian;
    QLineEdit* txtCarian;
    QLabel* lblNota;
    QPushButton* cmdCari;
    QGroupBox* FrameFor;
    QButtonGroup* m_matchOptions;
    QRadioButton* OptCarian1;
    QRadioButton* OptCarian2;
    QRadioButton* OptCarian5;
    QGroupBox* FrameLocation;
    QLabel* lblState;
    QLabel* lblWorkGroup;
    QComboBox* cboRegion;
    QComboBox* cboState;
    QComboBox* cboCity;
    QComboBox* cboWorkGroup;
    QLineEdit* txtSegment;
    QGroupBox* FrameForLocation;
    QRadioButton* OptCarian3;
    QRadioButton* OptCarian4;
    QTableView* gridCarian;
    QLabel* lblNotaCarian;
    QPushButton* cmdTutup;
};

} // namespace tarvo
