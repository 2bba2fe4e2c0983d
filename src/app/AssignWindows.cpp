#include "app/AssignWindows.h"

#include "app/WindowRegistration.h"
#include "assign/AssignLog.h"
#include "assign/ScanFlow.h"
#include "assign/frmTarvoMain.h"
#include "core/AppContext.h"
#include "core/DatabaseService.h"
#include "plan/LocalSetting.h"
#include "plan/frmLocalSetting.h"

namespace tarvo::app {

void registerAssignWindows(AppServices& services)
{
    AppContext& context = services.context;
    ProbeKit& probes = services.probes;
    UnitDivisionWindows& units = services.unitWindows;
    const WindowRegistry::ChildFactory open = [&context, &probes, &units](QWidget* parent) {
        AssignmentServices assignment{probes, addressInUseDialog(probes), {}, {}, makeNetworkScan};
        // The address plan's unit window, modal, for the place the assignment window has handed over, and
        // its first-run local setting.
        assignment.openUnitWindow = [&units](QWidget* opener, OpenerCallback refill) {
            units.runModal(opener, std::move(refill));
        };
        assignment.runLocalSetting = [&context](QWidget* owner) {
            const InterfaceLocalAddress workstation;
            frmLocalSetting dialog(context, workstation, owner);
            dialog.exec();
        };
        return new frmTarvoMain(context, std::move(assignment), parent);
    };
    // A block that a killed save left pending is appended when the database opens (at start and at
    // every switch); one that still cannot be written waits for the next save, which reports it.
    QObject::connect(
        &context.databaseService(), &DatabaseService::changed, &context.databaseService(), [&context] {
            if (context.databaseService().isOpen())
                PendingAssignLog(context.database(), context.program().ProgramFolder).appendPending();
        });
    for (const WindowCommand command :
         {WindowCommand::AssignNewIP, WindowCommand::AssignDedicatedIP, WindowCommand::ScanNetwork})
        services.registry.registerChild(command, open);
}

} // namespace tarvo::app
