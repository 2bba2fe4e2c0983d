#include "assign/DetailFields.h"
#include "plan/frmUnitDivision.h"

#include "assign/AssignmentMessages.h"
#include "assign/AssignmentServices.h"
#include "assign/SelectionPage.h"
#include "core/AppContext.h"
#include "core/FieldNavigation.h"
#include "core/WidgetParts.h"
#include "plan/PlanStore.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace tarvo {

namespace {

// Places a row of labelled fields at (row, column pair) of a grid.
void addRow(QGridLayout* grid, int row, int column, const QString& caption, QWidget* first,
            QWidget* second = nullptr, int span = 1)
{
    auto* label = new QLabel(caption, grid->parentWidget());
    label->setBuddy(first);
    grid->addWidget(label, row, column);
    if (!second) {
        grid->addWidget(first, row, column + 1, 1, span);
        return;
    }
    auto* pair = new QHBoxLayout;
    pair->setContentsMargins(0, 0, 0, 0);
    pair->addWidget(first, 1);
    pair->addWidget(second, 1);
    grid->addLayout(pair, row, column + 1, 1, span);
}

QGridLayout* formGrid(QWidget* tab)
{
    auto* grid = new QGridLayout(tab);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setColumnMinimumWidth(2, 100);
    grid->setHorizontalSpacing(10);
    return grid;
}

// A copied column that holds no value leaves its box as it was.
void copyValue(QLineEdit* box, const QString& value)
{
    if (!value.isNull())
        box->setText(value);
}

} // namespace

DetailFields::DetailFields(AppContext& context, PlanStore& plan, const SelectionPage& selection,
                           AssignmentServices& services, std::function<bool()> proposalStands,
                           std::function<void()> showUserTab, QWidget* window)
    : QObject(window), m_context(context), m_plan(plan), m_selection(selection), m_services(services),
      m_proposalStands(std::move(proposalStands)), m_showUserTab(std::move(showUserTab)), m_window(window)
{
    buildEquipmentTab();
    buildUserTab();
    installKeyboardRule();
    guardLength(txtProject, ProjectLimit);
    guardLength(txtRemarks, RemarksLimit);
    guardLength(txtNamaPengguna, UserNameLimit);
    connect(cboUnitDivision, &QComboBox::activated, this, &DetailFields::cboUnitDivision_Click);
    connect(PicUnitDivision, &QToolButton::clicked, this, &DetailFields::PicUnitDivision_DblClick);
}

void DetailFields::buildEquipmentTab()
{
    m_equipmentTab = new QWidget(m_window);
    m_equipmentTab->setObjectName(QStringLiteral("tabEquipment"));
    txtIPAddress = makeField("txtIPAddress", m_equipmentTab);
    txtKodPeralatan = makeField("txtKodPeralatan", m_equipmentTab);
    txtNamaPeralatan = makeField("txtNamaPeralatan", m_equipmentTab);
    cboStatus = new QComboBox(m_equipmentTab);
    cboStatus->setObjectName(QStringLiteral("cboStatus"));
    txtWorkGroup = makeField("txtWorkGroup", m_equipmentTab);
    txtProject = makeField("txtProject", m_equipmentTab);
    txtRemarks = makeField("txtRemarks", m_equipmentTab);

    QGridLayout* grid = formGrid(m_equipmentTab);
    addRow(grid, 0, 0, QStringLiteral("IP Address :"), txtIPAddress);
    addRow(grid, 0, 2, QStringLiteral("WorkGroup :"), txtWorkGroup);
    addRow(grid, 1, 0, QStringLiteral("Hostname :"), txtKodPeralatan);
    addRow(grid, 1, 2, QStringLiteral("Equipment :"), txtNamaPeralatan);
    addRow(grid, 2, 0, QStringLiteral("Status :"), cboStatus);
    addRow(grid, 2, 2, QStringLiteral("Project :"), txtProject);
    addRow(grid, 3, 0, QStringLiteral("Remarks :"), txtRemarks, nullptr, 3);
    grid->setRowStretch(4, 1);
}

void DetailFields::buildUserTab()
{
    m_userTab = new QWidget(m_window);
    m_userTab->setObjectName(QStringLiteral("tabUserDetails"));
    txtNamaPengguna = makeField("txtNamaPengguna", m_userTab);
    txtStaffNo = makeField("txtStaffNo", m_userTab);
    txtLANID = makeField("txtLANID", m_userTab);
    cboUnitDivision = new QComboBox(m_userTab);
    cboUnitDivision->setObjectName(QStringLiteral("cboUnitDivision"));
    PicUnitDivision = makeUnitPicture(m_userTab);
    txtTingkat = makeField("txtTingkat", m_userTab);
    txtBangunan = makeField("txtBangunan", m_userTab);
    txtJalan = makeField("txtJalan", m_userTab);
    txtPoskod = makeField("txtPoskod", m_userTab);
    txtBandar = makeField("txtBandar", m_userTab);
    txtNegeri = makeField("txtNegeri", m_userTab);
    txtTelefon = makeField("txtTelefon", m_userTab);
    txtFaksimili = makeField("txtFaksimili", m_userTab);

    auto* unitCell = new QHBoxLayout;
    unitCell->setContentsMargins(0, 0, 0, 0);
    unitCell->addWidget(cboUnitDivision, 1);
    unitCell->addWidget(PicUnitDivision);
    QGridLayout* grid = formGrid(m_userTab);
    addRow(grid, 0, 0, QStringLiteral("User Name :"), txtNamaPengguna);
    grid->addWidget(new QLabel(QStringLiteral("Unit/Division :"), m_userTab), 0, 2);
    grid->addLayout(unitCell, 0, 3);
    addRow(grid, 1, 0, QStringLiteral("Staff # :"), txtStaffNo);
    addRow(grid, 1, 2, QStringLiteral("Floor/Building :"), txtTingkat, txtBangunan);
    addRow(grid, 2, 0, QStringLiteral("LAN ID :"), txtLANID);
    addRow(grid, 2, 2, QStringLiteral("Street :"), txtJalan);
    addRow(grid, 3, 0, QStringLiteral("Telephone :"), txtTelefon);
    addRow(grid, 3, 2, QStringLiteral("Postcode/City :"), txtPoskod, txtBandar);
    addRow(grid, 4, 0, QStringLiteral("Fax :"), txtFaksimili);
    addRow(grid, 4, 2, QStringLiteral("State :"), txtNegeri);
    grid->setRowStretch(5, 1);
}

void DetailFields::installKeyboardRule()
{
    for (QLineEdit* box : {txtKodPeralatan, txtProject, txtNamaPengguna, txtStaffNo, txtLANID, txtTingkat,
                           txtBangunan, txtJalan, txtPoskod, txtBandar, txtNegeri, txtTelefon, txtFaksimili})
        FieldNavigation::install(box);
    // Enter in the remarks goes on to the user name on the next tab.
    FieldNavigation::install(txtRemarks, [this] {
        m_showUserTab();
        txtNamaPengguna->setFocus(Qt::TabFocusReason);
    });
}

QList<QLineEdit*> DetailFields::textBoxes() const
{
    return {txtIPAddress,    txtKodPeralatan, txtNamaPeralatan, txtWorkGroup, txtProject,  txtRemarks,
            txtNamaPengguna, txtStaffNo,      txtLANID,         txtTingkat,   txtBangunan, txtJalan,
            txtPoskod,       txtBandar,       txtNegeri,        txtTelefon,   txtFaksimili};
}

QList<QLineEdit*> DetailFields::postalBoxes() const
{
    return {txtTingkat, txtBangunan, txtJalan, txtPoskod, txtBandar, txtNegeri};
}

QList<QWidget*> DetailFields::fieldsInTabOrder() const
{
    return {txtNamaPeralatan, cboStatus, txtWorkGroup,    txtProject, txtRemarks,  txtNamaPengguna,
            txtStaffNo,       txtLANID,  cboUnitDivision, txtTingkat, txtBangunan, txtJalan,
            txtPoskod,        txtBandar, txtNegeri,       txtTelefon, txtFaksimili};
}

void DetailFields::DisableDetailFields()
{
    for (QLineEdit* box : textBoxes())
        box->setEnabled(false);
    cboStatus->setEnabled(false);
    cboUnitDivision->setEnabled(false);
}

void DetailFields::EnableDetailFields()
{
    for (QLineEdit* box : textBoxes())
        box->setEnabled(true);
    cboStatus->setEnabled(true);
    cboUnitDivision->setEnabled(true);
    // The postal address comes from the chosen unit or division only.
    for (QLineEdit* box : postalBoxes())
        box->setEnabled(false);
}

void DetailFields::ClearDetailFields()
{
    ResetDetailFields();
    cboStatus->clear();
    cboUnitDivision->clear();
}

void DetailFields::ResetDetailFields()
{
    for (QLineEdit* box : textBoxes())
        box->clear();
}

void DetailFields::fillStatus(const QString& shown)
{
    cboStatus->clear();
    cboStatus->addItems({StatusPermanent, StatusTemporary});
    const int index = cboStatus->findText(shown, Qt::MatchFixedString);
    cboStatus->setCurrentIndex(index < 0 ? 0 : index);
}

void DetailFields::ShowIPRecord(const IpRecord& record)
{
    copyValue(txtIPAddress, record.IP_Address);
    copyValue(txtKodPeralatan, record.Name);
    copyValue(txtNamaPeralatan, record.Type);
    copyValue(txtWorkGroup, record.Workgroup);
    if (!record.Status.isEmpty())
        fillStatus(record.Status);
    copyValue(txtProject, record.Project);
    copyValue(txtRemarks, record.Remarks);
    copyValue(txtNamaPengguna, record.Username);
    copyValue(txtStaffNo, record.StaffNo);
    copyValue(txtLANID, record.LANID);
    SavedUnitDivision = record.UnitDivision;
    copyValue(txtTingkat, record.Floor);
    copyValue(txtBangunan, record.Building);
    copyValue(txtJalan, record.Roadname);
    copyValue(txtPoskod, record.Postcode);
    copyValue(txtBandar, record.City);
    copyValue(txtNegeri, record.State);
    copyValue(txtTelefon, record.TelNo);
    copyValue(txtFaksimili, record.FaxNo);
    // The record's unit or division is the first entry of the unit list, shown.
    cboUnitDivision->clear();
    if (!SavedUnitDivision.isEmpty()) {
        cboUnitDivision->addItem(SavedUnitDivision);
        cboUnitDivision->setCurrentIndex(0);
    }
}

void DetailFields::showProposal(const ProposalFields& proposal)
{
    txtIPAddress->setText(proposal.address);
    fillStatus(proposal.status);
    txtNamaPeralatan->setText(proposal.equipment);
    txtKodPeralatan->setText(proposal.hostName);
    txtWorkGroup->setText(proposal.workgroup);
}

void DetailFields::putKeptDetails(const KeptDetails& kept)
{
    txtProject->setText(kept.Project);
    txtRemarks->setText(kept.Remarks);
    txtNamaPengguna->setText(kept.Username);
    txtStaffNo->setText(kept.StaffNo);
    txtLANID->setText(kept.LANID);
    txtTelefon->setText(kept.TelNo);
    txtFaksimili->setText(kept.FaxNo);
}

KeptDetails DetailFields::keptDetails() const
{
    return {txtProject->text(), txtRemarks->text(), cboStatus->currentText(), txtNamaPengguna->text(),
            txtStaffNo->text(), txtLANID->text(),   txtTelefon->text(),       txtFaksimili->text()};
}

IpRecord DetailFields::record() const
{
    IpRecord record;
    record.IP_Address = txtIPAddress->text().trimmed();
    record.Name = txtKodPeralatan->text();
    record.Type = txtNamaPeralatan->text();
    record.Workgroup = txtWorkGroup->text();
    record.Project = txtProject->text();
    record.Remarks = txtRemarks->text();
    record.Username = txtNamaPengguna->text();
    record.StaffNo = txtStaffNo->text();
    record.LANID = txtLANID->text();
    record.Status = cboStatus->currentText();
    record.UnitDivision = unitDivision();
    record.Floor = txtTingkat->text();
    record.Building = txtBangunan->text();
    record.Roadname = txtJalan->text();
    record.Postcode = txtPoskod->text();
    record.State = txtNegeri->text();
    record.City = txtBandar->text();
    record.TelNo = txtTelefon->text();
    record.FaxNo = txtFaksimili->text();
    return record;
}

QString DetailFields::hostName() const
{
    return txtKodPeralatan->text();
}

QString DetailFields::unitDivision() const
{
    return cboUnitDivision->currentIndex() < 0 ? QString() : cboUnitDivision->currentText();
}

UnitOwner DetailFields::place() const
{
    UnitOwner owner{m_selection.areaText(), std::nullopt, m_selection.cityText()};
    if (m_selection.stateShown())
        owner.state = m_selection.stateText();
    return owner;
}

void DetailFields::SSTab1_Click(int shownTab)
{
    if (!m_proposalStands())
        return;
    PicUnitDivision->show();
    if (shownTab != 1)
        return;
    const QString remembered = unitDivision();
    cboUnitDivision->clear();
    auto units = m_plan.unitsOf(place());
    if (!succeeded(units, m_context.messenger(), m_window))
        return;
    QStringList names;
    for (const UnitDivisionRow& unit : *units)
        names << unit.UnitDivision;
    fillList(cboUnitDivision, names);
    const int index = remembered.isEmpty() ? -1 : cboUnitDivision->findText(remembered, Qt::MatchFixedString);
    if (index < 0) {
        // The unit shown is no longer stored for the place: its address goes with it.
        for (QLineEdit* box : postalBoxes())
            box->clear();
        return;
    }
    cboUnitDivision->setCurrentIndex(index);
}

void DetailFields::hideUnitPicture()
{
    PicUnitDivision->hide();
}

void DetailFields::cboUnitDivision_Click()
{
    const QString unit = unitDivision();
    if (unit.isEmpty())
        return;
    auto units = m_plan.unitsNamed(unit, place());
    if (!succeeded(units, m_context.messenger(), m_window) || units->size() != 1)
        return;
    const UnitDivisionRow& row = units->front();
    txtTingkat->setText(row.Floor);
    txtBangunan->setText(row.Building);
    txtJalan->setText(row.Roadname);
    txtPoskod->setText(row.Postcode);
    txtBandar->setText(row.City);
    txtNegeri->setText(row.State);
}

void DetailFields::PicUnitDivision_DblClick()
{
    if (!m_proposalStands())
        return;
    UnitDivisionHandOver& handOver = m_context.unitDivisionHandOver();
    const UnitOwner owner = place();
    // The detail window's flag stays as it is: while it stands, that window refills its list too.
    handOver.UnitDivFromMain = true;
    handOver.OwnerRegion = owner.region;
    // A place in a segmented area has no state: the unit window is told so, not handed a stale one.
    handOver.OwnerHasState = owner.state.has_value();
    handOver.OwnerState = owner.state.value_or(QString());
    handOver.OwnerCity = owner.city;
    if (m_services.openUnitWindow)
        m_services.openUnitWindow(m_window, OpenerCallback(m_window, [this] { SSTab1_Click(1); }));
}

void DetailFields::setStaffNo(const QString& text)
{
    txtStaffNo->setText(text);
}

void DetailFields::setLanId(const QString& text)
{
    txtLANID->setText(text);
}

void DetailFields::setPostalPlace(const QString& state, const QString& city)
{
    txtNegeri->setText(state);
    txtBandar->setText(city);
}

void DetailFields::setRemarks(const QString& text)
{
    txtRemarks->setText(text);
}

} // namespace tarvo
