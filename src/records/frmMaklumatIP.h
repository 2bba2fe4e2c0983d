#pragma once

#include "assign/IpRecordStore.h"
#include "assign/RecordSearch.h"
#include "plan/PlanStore.h"
#include "probe/AddressInUseDialog.h"
#include "records/RecordsServices.h"

#include <QPointer>
#include <QWidget>

#include <optional>

class QLabel;
class QPushButton;

namespace tarvo {

class DetailTabs;

// The record detail window "IP Address Details ...": shows one IP record, in view mode (every field
// disabled, "Update" and "Delete") or edit mode (the editable fields enabled, "Save" and "Cancel"). Save
// and Delete act on the row shown, by its rowid; afterwards the search window that opened the window
// brings its list up to date. "Live Info" asks the live device behind the address in the address-in-use
// window; the unit picker opens the unit/division window for the record's owner place.
class frmMaklumatIP final : public QWidget
{
    Q_OBJECT
public:
    frmMaklumatIP(const RecordsServices& services, SearchWindowLink link, QWidget* parent = nullptr);
    ~frmMaklumatIP() override;

    // Shows the first record of DetailSQL in view mode. Without one the window says so and offers none
    // of Update, Delete and Live Info.
    void Form_Load(const RecordSearch& DetailSQL);
    void setSearchWindowLink(SearchWindowLink link) { m_link = std::move(link); }
    bool isEditing() const { return m_editing; }

    // Refills the unit list of the record's owner place, while the "User Details" tab is shown, and
    // selects the unit chosen before, whose current postal address is copied into the boxes. A unit the
    // place no longer has leaves the boxes as they are.
    void SSTab1_Click();

    // The address-in-use window that "Live Info" opened, while it exists.
    frmIPAddressUsed* liveInfoWindow() const { return m_liveInfo; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void cmdKemaskiniSimpan_Click();
    void cmdHapus_Click();
    void cmdLiveInfo_Click();
    void cmdTutup_Click();
    void PicUnitDivision_Click();
    void cboUnitDivision_Click();

    void enterEditMode();
    void enterViewMode();
    void saveRecord();
    void deleteRecord();
    void showNote();
    void closeLiveInfo();
    UnitOwner ownerPlace() const;
    // Asks an OK/Cancel question; true for OK.
    bool confirmed(const QString& question, const QString& title);
    void showError(const QString& error);

    AppContext& m_context;
    MainWindowAccess& m_mainWindow;
    ProbeKit& m_probes;
    UnitWindowOpener m_openUnitWindow;
    SearchWindowLink m_link;
    IpRecordStore m_store;
    PlanStore m_plan;

    std::optional<IpRecord> m_record; // the row shown, as stored (after a save, as saved)
    QString SavedUnitDivision;
    bool m_editing = false;
    QPointer<frmIPAddressUsed> m_liveInfo;

    DetailTabs* SSTab1;
    QPushButton* cmdKemaskiniSimpan;
    QPushButton* cmdLiveInfo;
    QPushButton* cmdHapus;
    QPushButton* cmdTutup;
    QLabel* lblNotaUpdate;
};

} // namespace tarvo
