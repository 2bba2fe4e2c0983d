#include "app/ReportWindows.h"

#include "app/WindowRegistration.h"
#include "core/AppContext.h"
#include "records/frmAssignLog.h"
#include "records/frmRptByDate.h"
#include "records/frmRptByLocation.h"

namespace tarvo::app {

void registerReportWindows(AppServices& services)
{
    AppContext& context = services.context;
    services.registry.registerChild(WindowCommand::ReportByLocation, [&context](QWidget* parent) {
        return new frmRptByLocation(context, parent);
    });
    services.registry.registerChild(WindowCommand::ReportByDate, [&context](QWidget* parent) {
        return new frmRptByDate(context, parent);
    });
    services.registry.registerChild(
        WindowCommand::AssignLog, [&context](QWidget* parent) { return new frmAssignLog(context, parent); });
}

} // namespace tarvo::app
