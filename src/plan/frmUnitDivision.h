#pragma once

#include "core/AppState.h"
#include "core/WindowTracker.h"
#include "plan/PlanRows.h"
#include "plan/PlanStore.h"
#include "plan/UnitDivisionStore.h"

#include <QDialog>
#include <QList>
#include <QStringList>

#include <functional>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class QToolButton;

namespace tarvo {

class AppContext;

// "Unit / Division Setting": the units and divisions of one place (area, state where the area has
// states, city) with their postal addresses.
//
// It opens in one of two modes, fixed for the whole opening:
// - menu mode (the main window's command; both hand-over flags false): the user picks the place, an
//   area administrator within the own area only;
// - preset mode (UnitDivFromMain set by the assignment window, UnitDivFromInfo by the record-detail
//   window): the place handed over in context.unitDivisionHandOver() (OwnerRegion, OwnerState while
//   OwnerHasState, OwnerCity) is shown and stays locked.
//
// The opener sets the hand-over right before it asks for the window (UnitDivisionWindows keeps the one
// instance of the program), and passes whenClosed: it is called once when the window closes, however it
// closes, so that the openers read their unit lists again.
class frmUnitDivision final : public QDialog
{
    Q_OBJECT
public:
    explicit frmUnitDivision(AppContext& context, std::function<void()> whenClosed = {},
                             QWidget* parent = nullptr);
    ~frmUnitDivision() override;

    bool isPreset() const { return m_handOver.UnitDivFromMain || m_handOver.UnitDivFromInfo; }
    bool isEditing() const;
    // Opens the window again, as it opens: in the mode and for the place of the hand-over as it stands
    // now.
    void reopen();

private:
    void Form_Load();
    void Form_Unload();
    void cboRegion_Click();
    void cboState_Click();
    void cboCity_Click();
    void lstUnitDivision_Click();
    void cmdTambah_Click();
    void cmdKemaskini_Click();
    void cmdSimpan_Click();
    void cmdBatal_Click();
    void cmdHapus_Click();

    void ClearUnitDivisionFields();
    void EnableUnitDivisionFields();
    void DisableUnitDivisionFields();
    void RememberUnitDivisionFields();
    void RestoreUnitDivisionFields();

    // Reads whether the area is segmented and its segment code; false after a database error.
    bool readArea(const QString& area);
    void showStateBox(bool shown);
    bool stateShown() const;
    // The place chosen in the three boxes; the state only while its box is shown.
    UnitOwner place() const;
    // A choice of place forgets the unit shown: its list, its fields, "Update" and "Delete".
    void placeChanged();
    void fillUnitList();
    void forgetShownUnit();
    void setPlaceBoxesEnabled(bool enabled);
    void showEditFrame(bool editing);
    // Back to the browse state after a save or a cancel.
    void endEdit();
    void unitGone();
    void showDatabaseError(const QString& error);

    AppContext& m_context;
    PlanStore m_store;
    UnitDivisionStore m_units;
    std::function<void()> m_whenClosed;
    // The hand-over as it stood when the window opened: the mode and the preset place.
    UnitDivisionHandOver m_handOver;

    bool AddMode = false;
    bool SegmentMode = false;
    QString m_segmentCode;
    std::optional<UnitDivisionRow> m_shown; // the unit picked in the list, as read when it was picked
    QStringList m_remembered;

    QLabel* lblState;
    QComboBox* cboRegion;
    QComboBox* cboState;
    QComboBox* cboCity;
    QListWidget* lstUnitDivision;
    QLineEdit* txtUnitDivision;
    QLineEdit* txtTingkat;
    QLineEdit* txtBangunan;
    QLineEdit* txtJalan;
    QLineEdit* txtPoskod;
    QLineEdit* txtBandar;
    QLineEdit* txtNegeri;
    QList<QLineEdit*> m_fields;
    QFrame* frameOperasi;
    QFrame* frameSimpan;
    QPushButton* cmdTambah;
    QPushButton* cmdKemaskini;
    QPushButton* cmdHapus;
};

// The picture beside a window's unit list that opens the unit window for the window's place
// ("PicUnitDivision"); hidden until the window offers it.
QToolButton* makeUnitPicture(QWidget* parent);

} // namespace tarvo
