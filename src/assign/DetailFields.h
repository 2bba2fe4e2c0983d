#pragma once

#include "assign/BulkRun.h"
#include "assign/IpRecord.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class QComboBox;
class QLineEdit;
class QToolButton;
class QWidget;

namespace tarvo {

class AppContext;
class PlanStore;
class SelectionPage;
struct AssignmentServices;
struct UnitOwner;

// What a proposal puts into the detail fields.
struct ProposalFields
{
    QString address;
    QString hostName;
    QString equipment;
    QString workgroup;
    QString status = StatusPermanent;
};

// The detail fields of the assignment window on its first two tabs: the proposed address, host name,
// equipment, status, work group, project and remarks (" Equipment "), and the user, staff number, LAN
// ID, unit or division with its postal address, telephone and fax ("User Details "). Holds their four
// group routines, the copy of a stored record, the unit list of the chosen place and the picture that
// opens the unit window preset to that place, the length limits and the keyboard rule.
class DetailFields final : public QObject
{
    Q_OBJECT
public:
    // proposalStands tells whether a proposal is on screen (Save is enabled); showUserTab shows tab 1.
    DetailFields(AppContext& context, PlanStore& plan, const SelectionPage& selection,
                 AssignmentServices& services, std::function<bool()> proposalStands,
                 std::function<void()> showUserTab, QWidget* window);

    QWidget* equipmentTab() const { return m_equipmentTab; }
    QWidget* userTab() const { return m_userTab; }

    void DisableDetailFields();
    void EnableDetailFields();
    void ClearDetailFields();
    void ResetDetailFields();
    // Copies a stored record into the fields; a column without a value leaves its box as it was.
    void ShowIPRecord(const IpRecord& record);

    // A proposal: the address, the host name, the equipment and the work group, and the status list
    // showing the status given.
    void showProposal(const ProposalFields& proposal);
    // The kept user details of a run, but the status (put back with the proposal).
    void putKeptDetails(const KeptDetails& kept);
    // The eight user details that a run keeps, from the fields.
    KeptDetails keptDetails() const;
    // The fields of a new record (without the place, the date and the administrator).
    IpRecord record() const;

    // The tab rule: with a proposal on screen, shows the unit picture and, on the "User Details " tab,
    // reads the unit list of the chosen place again.
    void SSTab1_Click(int shownTab);
    void hideUnitPicture();

    // The state and city of the postal address (a scan proposal fills them with the place).
    void setPostalPlace(const QString& state, const QString& city);

    // What the address-in-use dialog writes back.
    void setStaffNo(const QString& text);
    void setLanId(const QString& text);
    void setRemarks(const QString& text);

    QLineEdit* hostNameBox() const { return txtKodPeralatan; }
    QLineEdit* addressBox() const { return txtIPAddress; }
    QLineEdit* projectBox() const { return txtProject; }
    QString hostName() const;
    // The fields after the host name in the window's tab order: equipment to fax.
    QList<QWidget*> fieldsInTabOrder() const;
    QString unitDivision() const;

private:
    void buildEquipmentTab();
    void buildUserTab();
    void installKeyboardRule();
    void fillStatus(const QString& shown);
    void cboUnitDivision_Click();
    void PicUnitDivision_DblClick();
    UnitOwner place() const;
    QList<QLineEdit*> textBoxes() const;
    QList<QLineEdit*> postalBoxes() const;

    AppContext& m_context;
    PlanStore& m_plan;
    const SelectionPage& m_selection;
    AssignmentServices& m_services;
    std::function<bool()> m_proposalStands;
    std::function<void()> m_showUserTab;
    QWidget* m_window;
    QWidget* m_equipmentTab = nullptr;
    QWidget* m_userTab = nullptr;
    QString SavedUnitDivision;

    QLineEdit* txtIPAddress = nullptr;
    QLineEdit* txtKodPeralatan = nullptr;
    QLineEdit* txtNamaPeralatan = nullptr;
    QComboBox* cboStatus = nullptr;
    QLineEdit* txtWorkGroup = nullptr;
    QLineEdit* txtProject = nullptr;
    QLineEdit* txtRemarks = nullptr;
    QLineEdit* txtNamaPengguna = nullptr;
    QLineEdit* txtStaffNo = nullptr;
    QLineEdit* txtLANID = nullptr;
    QComboBox* cboUnitDivision = nullptr;
    QToolButton* PicUnitDivision = nullptr;
    QLineEdit* txtTingkat = nullptr;
    QLineEdit* txtBangunan = nullptr;
    QLineEdit* txtJalan = nullptr;
    QLineEdit* txtPoskod = nullptr;
    QLineEdit* txtBandar = nullptr;
    QLineEdit* txtNegeri = nullptr;
    QLineEdit* txtTelefon = nullptr;
    QLineEdit* txtFaksimili = nullptr;
};

// The longest project, remarks and user name the assignment window takes.
inline constexpr int ProjectLimit = 50;
inline constexpr int RemarksLimit = 150;
inline constexpr int UserNameLimit = 50;

} // namespace tarvo
