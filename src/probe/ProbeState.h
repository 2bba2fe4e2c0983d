#pragma once

#include <QString>

namespace tarvo {

// The hand-over to the address-in-use windows and the result flag of the last host-name lookup. One
// per program, handed to the windows by reference.
struct ProbeState
{
    // Set by the opener just before it shows an address-in-use window; read once when it opens.
    QString UsedIPAddress;
    QString UsedIPMessage;
    // True after a lookup whose address has no host name; false after any other lookup that got past
    // the socket start-up.
    bool HostNotFound = false;
};

// The status texts that the openers hand over.
inline const QString UsedIPMessageAssignment = QStringLiteral("IP Address used ...");
inline const QString UsedIPMessageLiveInfo = QStringLiteral("IP Address used. Click Detail Info ...");

} // namespace tarvo
