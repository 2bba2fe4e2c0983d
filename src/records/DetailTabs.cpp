#include "records/DetailTabs.h"

#include "core/WidgetParts.h"
#include "plan/PlanRows.h"
#include "plan/frmUnitDivision.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

namespace tarvo {

namespace {

const QStringList Statuses{StatusPermanent, StatusTemporary};

// A row of a tab: a label and what stands beside it, over the columns given.
void addRow(QGridLayout* grid, int row, int column, const QString& caption, QWidget* field, int span = 1)
{
    auto* label = new QLabel(caption, grid->parentWidget());
    label->setBuddy(field);
    grid->addWidget(label, row, column);
    grid->addWidget(field, row, column + 1, 1, span);
}

// A narrow box and a wide one side by side (floor and building, postcode and city).
QWidget* pair(QWidget* parent, QLineEdit* narrow, QLineEdit* wide)
{
    auto* holder = new QWidget(parent);
    auto* layout = new QHBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    narrow->setMaximumWidth(narrow->fontMetrics().horizontalAdvance(QString(9, QLatin1Char('X'))));
    layout->addWidget(narrow, 1);
    layout->addWidget(wide, 3);
    return holder;
}

void setIfPresent(QLineEdit* box, const QString& value)
{
    if (!value.isNull())
        box->setText(value);
}

} // namespace

DetailTabs::DetailTabs(QWidget* parent) : QTabWidget(parent)
{
    setObjectName(QStringLiteral("SSTab1"));
    addTab(buildEquipmentTab(), QStringLiteral(" Equipment"));
    addTab(buildUserTab(), QStringLiteral("User Details"));
    m_order = {txtKodPeralatan, txtNamaPeralatan, txtWorkGroup, txtProject,  txtRemarks, txtNamaPengguna,
               txtStaffNo,      txtLANID,         txtTingkat,   txtBangunan, txtJalan,   txtPoskod,
               txtBandar,       txtNegeri,        txtTelefon,   txtFaksimili};
}

QWidget* DetailTabs::buildEquipmentTab()
{
    auto* page = new QWidget(this);
    txtIPAddress = makeField("txtIPAddress", page);
    txtKodPeralatan = makeField("txtKodPeralatan", page);
    txtNamaPeralatan = makeField("txtNamaPeralatan", page);
    cboStatus = new QComboBox(page);
    cboStatus->setObjectName(QStringLiteral("cboStatus"));
    txtWorkGroup = makeField("txtWorkGroup", page);
    txtProject = makeField("txtProject", page);
    txtRemarks = new QPlainTextEdit(page);
    txtRemarks->setObjectName(QStringLiteral("txtRemarks"));
    txtRemarks->setTabChangesFocus(true);
    txtRemarks->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtRemarks->setFixedHeight(txtRemarks->fontMetrics().lineSpacing() * 3 + 12);

    auto* grid = new QGridLayout(page);
    addRow(grid, 0, 0, QStringLiteral("IP Address :"), txtIPAddress);
    addRow(grid, 0, 2, QStringLiteral("Hostname :"), txtKodPeralatan);
    addRow(grid, 1, 0, QStringLiteral("Equipment :"), txtNamaPeralatan);
    addRow(grid, 1, 2, QStringLiteral("Status :"), cboStatus);
    addRow(grid, 2, 0, QStringLiteral("WorkGroup :"), txtWorkGroup);
    addRow(grid, 3, 0, QStringLiteral("Project :"), txtProject, 3);
    addRow(grid, 4, 0, QStringLiteral("Remarks :"), txtRemarks, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(5, 1);
    return page;
}

QWidget* DetailTabs::buildUserTab()
{
    auto* page = new QWidget(this);
    txtNamaPengguna = makeField("txtNamaPengguna", page);
    txtStaffNo = makeField("txtStaffNo", page);
    txtLANID = makeField("txtLANID", page);
    cboUnitDivision = new QComboBox(page);
    cboUnitDivision->setObjectName(QStringLiteral("cboUnitDivision"));
    PicUnitDivision = makeUnitPicture(page);
    txtTingkat = makeField("txtTingkat", page);
    txtBangunan = makeField("txtBangunan", page);
    txtJalan = makeField("txtJalan", page);
    txtPoskod = makeField("txtPoskod", page);
    txtBandar = makeField("txtBandar", page);
    txtNegeri = makeField("txtNegeri", page);
    txtTelefon = makeField("txtTelefon", page);
    txtFaksimili = makeField("txtFaksimili", page);

    auto* unit = new QWidget(page);
    auto* unitRow = new QHBoxLayout(unit);
    unitRow->setContentsMargins(0, 0, 0, 0);
    unitRow->addWidget(cboUnitDivision, 1);
    unitRow->addWidget(PicUnitDivision);
    // The picture keeps its place while hidden, so that the list does not change width in edit mode.
    QSizePolicy keepPlace = PicUnitDivision->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    PicUnitDivision->setSizePolicy(keepPlace);

    auto* grid = new QGridLayout(page);
    addRow(grid, 0, 0, QStringLiteral("User Name :"), txtNamaPengguna, 3);
    addRow(grid, 1, 0, QStringLiteral("Staff # :"), txtStaffNo);
    addRow(grid, 1, 2, QStringLiteral("LAN ID :"), txtLANID);
    addRow(grid, 2, 0, QStringLiteral("Unit/Division :"), unit, 3);
    addRow(grid, 3, 0, QStringLiteral("Floor/Building :"), pair(page, txtTingkat, txtBangunan), 3);
    addRow(grid, 4, 0, QStringLiteral("Street :"), txtJalan, 3);
    addRow(grid, 5, 0, QStringLiteral("Postcode/City :"), pair(page, txtPoskod, txtBandar), 3);
    addRow(grid, 6, 0, QStringLiteral("State :"), txtNegeri, 3);
    addRow(grid, 7, 0, QStringLiteral("Telephone :"), txtTelefon);
    addRow(grid, 7, 2, QStringLiteral("Fax :"), txtFaksimili);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(8, 1);
    return page;
}

QList<QWidget*> DetailTabs::allFields() const
{
    QList<QWidget*> fields = m_order;
    fields << txtIPAddress << cboStatus << cboUnitDivision;
    return fields;
}

void DetailTabs::ClearDetailFields()
{
    for (QLineEdit* box : findChildren<QLineEdit*>())
        box->clear();
    txtRemarks->clear();
    cboStatus->clear();
    cboUnitDivision->clear();
}

void DetailTabs::DisableDetailFields()
{
    for (QWidget* field : allFields())
        field->setEnabled(false);
}

void DetailTabs::EnableDetailFields()
{
    for (QWidget* field : std::initializer_list<QWidget*>{
             txtKodPeralatan, txtNamaPeralatan, txtWorkGroup, txtProject, txtRemarks, cboStatus,
             txtNamaPengguna, txtStaffNo, txtLANID, cboUnitDivision, txtTelefon, txtFaksimili})
        field->setEnabled(true);
    const QString shown = cboStatus->currentText();
    cboStatus->clear();
    cboStatus->addItems(Statuses);
    cboStatus->setCurrentIndex(Statuses.indexOf(shown));
}

void DetailTabs::ShowIPRecord(const IpRecord& record)
{
    const std::pair<QLineEdit*, const QString*> boxes[] = {
        {txtIPAddress, &record.IP_Address}, {txtKodPeralatan, &record.Name},
        {txtNamaPeralatan, &record.Type},   {txtWorkGroup, &record.Workgroup},
        {txtProject, &record.Project},      {txtNamaPengguna, &record.Username},
        {txtStaffNo, &record.StaffNo},      {txtLANID, &record.LANID},
        {txtTingkat, &record.Floor},        {txtBangunan, &record.Building},
        {txtJalan, &record.Roadname},       {txtPoskod, &record.Postcode},
        {txtBandar, &record.City},          {txtNegeri, &record.State},
        {txtTelefon, &record.TelNo},        {txtFaksimili, &record.FaxNo},
    };
    for (const auto& [box, value] : boxes)
        setIfPresent(box, *value);
    if (!record.Remarks.isNull())
        txtRemarks->setPlainText(record.Remarks);
    if (!record.Status.isEmpty()) {
        cboStatus->clear();
        cboStatus->addItems(Statuses);
        // A stored status the list does not offer is shown as none chosen, and a save keeps it.
        cboStatus->setCurrentIndex(Statuses.indexOf(record.Status));
    }
}

IpRecord DetailTabs::shownRecord() const
{
    IpRecord record;
    record.Name = txtKodPeralatan->text();
    record.Type = txtNamaPeralatan->text();
    record.Workgroup = txtWorkGroup->text();
    record.Project = txtProject->text();
    record.Remarks = txtRemarks->toPlainText();
    record.Status = cboStatus->currentText();
    record.Username = txtNamaPengguna->text();
    record.StaffNo = txtStaffNo->text();
    record.LANID = txtLANID->text();
    record.UnitDivision = cboUnitDivision->currentText();
    record.Floor = txtTingkat->text();
    record.Building = txtBangunan->text();
    record.Roadname = txtJalan->text();
    record.Postcode = txtPoskod->text();
    record.City = txtBandar->text();
    record.State = txtNegeri->text();
    record.TelNo = txtTelefon->text();
    record.FaxNo = txtFaksimili->text();
    return record;
}

void DetailTabs::showUnitAddress(const UnitDivisionRow& unit)
{
    txtTingkat->setText(unit.Floor);
    txtBangunan->setText(unit.Building);
    txtJalan->setText(unit.Roadname);
    txtPoskod->setText(unit.Postcode);
    txtBandar->setText(unit.City);
    txtNegeri->setText(unit.State);
}

} // namespace tarvo
