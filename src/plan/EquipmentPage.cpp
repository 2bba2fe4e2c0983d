#include "plan/EquipmentPage.h"

#include "core/WidgetParts.h"
#include "plan/PlanFields.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>

namespace tarvo {

EquipmentPage::EquipmentPage(SettingsShared& shared, QWidget* parent)
    : TablePage(shared, QStringLiteral("Equipment"), "lstEquipment", "lblDescEquipment", parent)
{
    txtEquipmentName =
        addField(label("lblEquipmentName", QStringLiteral("Equipment/Range :")), "txtEquipmentName");
    txtEquipmentCode =
        addField(label("lblEquipmentCode", QStringLiteral("Equipment Code :")), "txtEquipmentCode");
    upperCaseWhileTyped(txtEquipmentCode);
    guardLength(txtEquipmentCode, 3);
    txtOctet4Start = addField(label("lblOctet4Start", QStringLiteral("Octet4 Start :")), "txtOctet4Start");
    txtOctet4End = addField(label("lblOctet4End", QStringLiteral("Octet4 End :")), "txtOctet4End");
    for (QLineEdit* field : {txtEquipmentCode, txtOctet4Start, txtOctet4End})
        field->setMaximumWidth(60);
    guardNumber(txtOctet4Start, 255);
    guardNumber(txtOctet4End, 255);

    setHelp(txtEquipmentName, QStringLiteral("Equipment Name : "), QStringLiteral("Set equipment name."));
    setHelp(txtEquipmentCode, QStringLiteral("Equipment Code : "),
            QStringLiteral("Set unique equipment code. Maximum three character."));
    setHelp(txtOctet4Start, QStringLiteral("IP Octet4 Start : "),
            QStringLiteral("Set IP Octet4 start range (xxx.xxx.xxx.Octet4Start) for this equipment."));
    setHelp(txtOctet4End, QStringLiteral("IP Octet4 End :"),
            QStringLiteral("Set IP Octet4 end range (xxx.xxx.xxx.Octet4End) for this equipment."));
}

void EquipmentPage::fillList()
{
    setListRows(m_shared.store.equipmentTypes(), [](const EquipmentRow& row) { return row.Eqp_name; });
}

DbResult<bool> EquipmentPage::showRow(qint64 rowId)
{
    auto row = m_shared.store.equipmentTypeByRowId(rowId);
    if (!row || !*row)
        return row ? DbResult<bool>(false) : DbResult<bool>(row.failure());
    txtEquipmentName->setText((*row)->Eqp_name);
    txtEquipmentCode->setText((*row)->Eqp_code);
    txtOctet4Start->setText(QString::number((*row)->Octet4_start));
    txtOctet4End->setText(QString::number((*row)->Octet4_end));
    return true;
}

bool EquipmentPage::inputAccepted()
{
    if (txtEquipmentCode->text().isEmpty()) {
        warn(PlanText::pleaseEnter(captionOf(txtEquipmentCode)), QStringLiteral("Error !!!"),
             txtEquipmentCode);
        return false;
    }
    if (txtOctet4Start->text().isEmpty()) {
        warn(QStringLiteral("Please enter Octet 4 Start ... !"), QStringLiteral("Error !!!"), txtOctet4Start);
        return false;
    }
    if (txtOctet4End->text().isEmpty()) {
        warn(QStringLiteral("Please enter Octet 4 End ... !"), QStringLiteral("Error !!!"), txtOctet4End);
        return false;
    }
    // The assignment window lists these texts beside the equipment types; a type of that name would be
    // taken for them.
    if (isReservedEquipmentName(txtEquipmentName->text())) {
        warn(QStringLiteral(
                 "\"%1\" and names with \"%2\" stand for Tarvo's own entries in the equipment list. "
                 "Please choose another name !")
                 .arg(SubnetMaskEntry, IpRangeEntryPrefix.trimmed()),
             QStringLiteral("Error !!!"), txtEquipmentName);
        return false;
    }
    return true;
}

bool EquipmentPage::acceptedAfterChecks()
{
    if (txtOctet4End->text().toInt() >= txtOctet4Start->text().toInt())
        return true;
    QApplication::beep();
    warn(QStringLiteral("Octet 4 End should not less than Octet 4 Start ..."), QStringLiteral("Error"),
         txtOctet4Start);
    return false;
}

EquipmentRow EquipmentPage::rowFromFields() const
{
    return {0, txtEquipmentName->text(), txtEquipmentCode->text(), txtOctet4Start->text().toInt(),
            txtOctet4End->text().toInt()};
}

} // namespace tarvo
