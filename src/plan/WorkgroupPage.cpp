#include "plan/WorkgroupPage.h"

#include "core/WidgetParts.h"
#include "plan/PlanFields.h"

#include <QLabel>
#include <QLineEdit>

namespace tarvo {

WorkgroupPage::WorkgroupPage(SettingsShared& shared, QWidget* parent)
    : TablePage(shared, QStringLiteral("Workgroup"), "lstWorkgroup", "lblDescWorkGroup", parent)
{
    txtWorkgroupName = addField(label("lblWorkgroupName", QStringLiteral("Workgroup :")), "txtWorkgroupName");
    txtWorkgroupCode =
        addField(label("lblWorkgroupCode", QStringLiteral("Workgroup Code :")), "txtWorkgroupCode");
    txtWorkgroupCode->setMaximumWidth(60);
    upperCaseWhileTyped(txtWorkgroupCode);
    guardLength(txtWorkgroupCode, 1);
    txtWGOctet3 = addField(label("lblWorkgroupOctet3", QStringLiteral("Octet3 end with :")), "txtWGOctet3",
                           label("Label1", QStringLiteral("( 0 to 9 only )")));
    guardNumber(txtWGOctet3, 9);
    txtWGOctet3->setMaximumWidth(60);

    setHelp(
        txtWorkgroupName, QStringLiteral("Work Group Name : "),
        QStringLiteral("Set Work Group/Site Name (for Regional LAN such as outlets, service center, etc)."));
    setHelp(txtWorkgroupCode, QStringLiteral("Work Group Code : "),
            QStringLiteral("Set unique Work Group/Site Code. One character only."));
    setHelp(
        txtWGOctet3, QStringLiteral("IP Octet3 end with : "),
        QStringLiteral("Set the last digit of IP Octet3 (xxx.xxx.xxx?.xxx) to represent this work group."));
}

void WorkgroupPage::fillList()
{
    setListRows(m_shared.store.workgroups(), [](const WorkgroupRow& row) { return row.Workgroup_name; });
}

DbResult<bool> WorkgroupPage::showRow(qint64 rowId)
{
    auto row = m_shared.store.workgroupByRowId(rowId);
    if (!row || !*row)
        return row ? DbResult<bool>(false) : DbResult<bool>(row.failure());
    txtWorkgroupName->setText((*row)->Workgroup_name);
    txtWorkgroupCode->setText((*row)->Workgroup_code);
    txtWGOctet3->setText(QString::number((*row)->Octet_3));
    return true;
}

bool WorkgroupPage::inputAccepted()
{
    if (txtWorkgroupCode->text().isEmpty()) {
        warn(PlanText::pleaseEnter(captionOf(txtWorkgroupCode)), QStringLiteral("Error !!!"),
             txtWorkgroupCode);
        return false;
    }
    if (txtWGOctet3->text().isEmpty()) {
        warn(QStringLiteral("Please enter IP Octet 3 end with ... !"), QStringLiteral("Error !!!"),
             txtWGOctet3);
        return false;
    }
    return true;
}

WorkgroupRow WorkgroupPage::rowFromFields() const
{
    return {0, txtWorkgroupName->text(), txtWorkgroupCode->text(), txtWGOctet3->text().toInt()};
}

} // namespace tarvo
