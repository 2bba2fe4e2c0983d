#include "assign/AssignmentServices.h"

#include "probe/AddressInUseDialog.h"
#include "probe/ProbeKit.h"

namespace tarvo {

AddressInUseOpener addressInUseDialog(ProbeKit& probes)
{
    return [&probes](QWidget* parent, AssignmentWindowLink& link) {
        frmIPAddGuna dialog(probes.state, probes.services, link, parent);
        dialog.exec();
    };
}

} // namespace tarvo
