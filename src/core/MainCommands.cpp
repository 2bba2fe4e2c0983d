#include "core/MainCommands.h"

namespace tarvo {

const QList<ToolbarButton>& toolbarButtons()
{
    static const QList<ToolbarButton> buttons = {
        {QStringLiteral("mAssignNewIP"), QStringLiteral("Assign new IP Address"),
         QStringLiteral("mnuInputRekod")},
        {QStringLiteral("mAssignDedicatedIP"), QStringLiteral("Assign dedicated IP"),
         QStringLiteral("mnuDedicatedIP")},
        {QStringLiteral("mSearchRecord"), QStringLiteral("Search record"), QStringLiteral("mnuCarianRekod")},
        {QStringLiteral("mScanNetwork"), QStringLiteral("Scan network"), QStringLiteral("mnuScanNetwork")},
        {},
        {QStringLiteral("mIPsettings"), QStringLiteral("IP Address settings"),
         QStringLiteral("mnuIPAddressSetting")},
        {},
        {QStringLiteral("mUnitDivSettings"), QStringLiteral("Unit / Division settings"),
         QStringLiteral("mnuUnitDivision")},
        {},
        {QStringLiteral("mReportByLocation"), QStringLiteral("Report by location"),
         QStringLiteral("mnuRptLocation")},
        {QStringLiteral("mReportByDate"), QStringLiteral("Report by date"), QStringLiteral("mnuRptByDate")},
        {},
        {QStringLiteral("mUserID"), QStringLiteral("Tarvo User ID"), QStringLiteral("mnuMaklumatPengguna")},
        {QStringLiteral("mAssignLog"), QStringLiteral("Assign Log"), QStringLiteral("mnuAssignLog")},
        {QStringLiteral("mWebPatch"), QStringLiteral("Web Patch"), QStringLiteral("mnuWebPatch")},
        {QStringLiteral("mHostWatch"), QStringLiteral("Monitor IP Address"), QStringLiteral("mnuHostWatch")},
        {},
        {QStringLiteral("mBackupRestore"), QStringLiteral("Backup and Restore database"),
         QStringLiteral("mnuBackupRestore")},
        {QStringLiteral("mChangeDirectory"), QStringLiteral("Change database directory"),
         QStringLiteral("mnuChangeDBDir")},
        {QStringLiteral("mCompactDB"), QStringLiteral("Compact database"), QStringLiteral("mnuCompactDB")},
        {},
        {QStringLiteral("mHelp"), QStringLiteral("Help"), QStringLiteral("mnuHelp")},
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
