#include "core/MainCommands.h"

namespace tarvo {

const QList<ToolbarButton>& toolbarButtons()
{
    static const QList<ToolbarButton> buttons = {
        {QStringLiteral("mAssignNewIP"), QStringLiteral("Assign new IP Address"),
         QStringLiteral("mnuInputRekod"), QStringLiteral("IP+")},
        {QStringLiteral("mAssignDedicatedIP"), QStringLiteral("Assign dedicated IP"),
         QStringLiteral("mnuDedicatedIP"), QStringLiteral("IP#")},
        {QStringLiteral("mSearchRecord"), QStringLiteral("Search record"), QStringLiteral("mnuCarianRekod"),
         QStringLiteral("?")},
        {QStringLiteral("mScanNetwork"), QStringLiteral("Scan network"), QStringLiteral("mnuScanNetwork"),
         QStringLiteral("SC")},
        {},
        {QStringLiteral("mIPsettings"), QStringLiteral("IP Address settings"),
         QStringLiteral("mnuIPAddressSetting"), QStringLiteral("SET")},
        {},
        {QStringLiteral("mUnitDivSettings"), QStringLiteral("Unit / Division settings"),
         QStringLiteral("mnuUnitDivision"), QStringLiteral("UD")},
        {},
        {QStringLiteral("mReportByLocation"), QStringLiteral("Report by location"),
         QStringLiteral("mnuRptLocation"), QStringLiteral("RL")},
        {QStringLiteral("mReportByDate"), QStringLiteral("Report by date"), QStringLiteral("mnuRptByDate"),
         QStringLiteral("RD")},
        {},
        {QStringLiteral("mUserID"), QStringLiteral("Tarvo User ID"), QStringLiteral("mnuMaklumatPengguna"),
         QStringLiteral("ID")},
        {QStringLiteral("mAssignLog"), QStringLiteral("Assign Log"), QStringLiteral("mnuAssignLog"),
         QStringLiteral("LOG")},
        {QStringLiteral("mWebPatch"), QStringLiteral("Web Patch"), QStringLiteral("mnuWebPatch"),
         QStringLiteral("UP")},
        {QStringLiteral("mHostWatch"), QStringLiteral("Monitor IP Address"), QStringLiteral("mnuHostWatch"),
         QStringLiteral("HW")},
        {},
        {QStringLiteral("mBackupRestore"), QStringLiteral("Backup and Restore database"),
         QStringLiteral("mnuBackupRestore"), QStringLiteral("BK")},
        {QStringLiteral("mChangeDirectory"), QStringLiteral("Change database directory"),
         QStringLiteral("mnuChangeDBDir"), QStringLiteral("DIR")},
        {QStringLiteral("mCompactDB"), QStringLiteral("Compact database"), QStringLiteral("mnuCompactDB"),
         QStringLiteral("CP")},
        {},
        {QStringLiteral("mHelp"), QStringLiteral("Help"), QStringLiteral("mnuHelp"), QStringLiteral("H")},
    };
    return buttons;
}

QString menuItemOfKey(const QString& key)
{
    for (const ToolbarButton& button : toolbarButtons()) {
        if (!button.isSeparator() && button.key == key)
            return button.menuItem;
    }
    return {};
}

} // namespace tarvo
