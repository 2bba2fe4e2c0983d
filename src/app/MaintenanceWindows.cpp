#include "app/MaintenanceWindows.h"

#include "app/WindowRegistration.h"
#include "core/AppContext.h"
#include "maintenance/Compaction.h"
#include "maintenance/frmBackupDB.h"

namespace tarvo::app {

void registerMaintenanceWindows(AppServices& services)
{
    const AppContext& context = services.context;
    services.registry.registerChild(WindowCommand::BackupRestore, [&context](QWidget* parent) {
        return new frmBackupDB(context, Registry::forCurrentUser(), parent);
    });
    services.registry.registerDialog(WindowCommand::CompactDatabase,
                                     [&context](QWidget* parent) { mnuCompactDB_Click(context, parent); });
}

} // namespace tarvo::app
