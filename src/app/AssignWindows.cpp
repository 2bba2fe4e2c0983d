#include "app/AssignWindows.h"

#include "app/WindowRegistration.h"
#include "assign/ScanFlow.h"
#include "assign/frmTarvoMain.h"
#include "core/AppContext.h"

namespace tarvo::app {

void registerAssignWindows(AppServices& services)
{
    AppContext& context = services.context;
    ProbeKit& probes = services.probes;
    const WindowRegistry::ChildFactory open = [&context, &probes](QWidget* parent) {
        AssignmentServices assignment{probes, addressInUseDialog(probes), {}, {}, makeNetworkScan};
        // The unit/division window and the local-setting dialog of the address plan plug in here; until
        // then the picture and the first-run test open nothing.
        assignment.openUnitWindow = [](QWidget*, OpenerCallback) {};
        assignment.runLocalSetting = [](QWidget*) {};
        return new frmTarvoMain(context, std::move(assignment), parent);
    };
    for (const WindowCommand command :
         {WindowCommand::AssignNewIP, WindowCommand::AssignDedicatedIP, WindowCommand::ScanNetwork})
        services.registry.registerChild(command, open);
}

} // namespace tarvo::app
