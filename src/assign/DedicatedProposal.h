#pragma once

#include <QString>

namespace tarvo {

class ProposalSteps;
struct AssignmentWindowParts;

// The pick of an equipment item in Dedicated mode: the count box holds the wanted octet 4. An address
// that already has a record is shown read-only; an octet 4 outside the equipment's range is refused;
// otherwise the address is pinged and proposed with its host name. One save ends it.
class DedicatedProposal
{
public:
    DedicatedProposal(AssignmentWindowParts& parts, ProposalSteps& steps);

    void AssignDedicatedAddress();

private:
    // The address has a record: its fields, read-only, until Cancel or Close. False when it has none.
    bool showRecorded();
    void propose(const QString& item, bool answered);

    AssignmentWindowParts& m_parts;
    ProposalSteps& m_steps;
};

// The refusal of an octet 4 outside an equipment's range, and its title.
QString octet4OutOfRangeMessage(const QString& equipment, int start, int end);
inline const QString Octet4OutOfRangeTitle = QStringLiteral("Error : Not a valid IP Octet 4.");

} // namespace tarvo
