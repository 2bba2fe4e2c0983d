#pragma once

#include "assign/IpRecord.h"

#include <QList>
#include <QTabWidget>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;

namespace tarvo {

struct UnitDivisionRow;

// The two tabs of the record detail window, " Equipment" and "User Details", with the record's fields:
// building them, and copying a record into them and back. The owner place (Region, StateOwner,
// CityOwner) is never shown; the six boxes of the postal address change only through the unit list.
class DetailTabs final : public QTabWidget
{
    Q_OBJECT
public:
    enum Tab
    {
        EquipmentTab = 0,
        UserDetailsTab = 1,
    };

    explicit DetailTabs(QWidget* parent = nullptr);

    // Empties the 17 boxes and the lists of status and unit.
    void ClearDetailFields();
    // Disables the 17 boxes and both lists.
    void DisableDetailFields();
    // Enables the editable fields and offers the two statuses, keeping the status shown.
    void EnableDetailFields();

    // Copies a record into the boxes; a field without a value leaves its box as it was. A status is
    // shown only when it is one of the two the list offers; an empty one leaves the list empty.
    void ShowIPRecord(const IpRecord& record);
    // The record as the boxes hold it: the texts of the editable fields and of the postal address, the
    // status and unit chosen (empty when none is).
    IpRecord shownRecord() const;
    // Copies a unit's postal address into the six address boxes.
    void showUnitAddress(const UnitDivisionRow& unit);

    // The boxes that Enter, Down and Up move between, in tab order (txtRemarks is among them).
    const QList<QWidget*>& navigationOrder() const { return m_order; }

    QLineEdit* txtKodPeralatan;
    QLineEdit* txtNamaPeralatan;
    QLineEdit* txtWorkGroup;
    QLineEdit* txtProject;
    QPlainTextEdit* txtRemarks;
    QLineEdit* txtNamaPengguna;
    QLineEdit* txtStaffNo;
    QLineEdit* txtLANID;
    QLineEdit* txtTingkat;
    QLineEdit* txtBangunan;
    QLineEdit* txtJalan;
    QLineEdit* txtPoskod;
    QLineEdit* txtBandar;
    QLineEdit* txtNegeri;
    QLineEdit* txtTelefon;
    QLineEdit* txtFaksimili;
    QLineEdit* txtIPAddress;
    QComboBox* cboStatus;
    QComboBox* cboUnitDivision;
    QToolButton* PicUnitDivision;

private:
    QWidget* buildEquipmentTab();
    QWidget* buildUserTab();
    QList<QWidget*> allFields() const;

    QList<QWidget*> m_order;
};

} // namespace tarvo
