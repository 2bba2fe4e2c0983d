#pragma once

#include "assign/AssignmentRules.h"

#include <QString>

namespace tarvo {

class ProposalSteps;
struct AssignmentWindowParts;

// The pick of an equipment item in New mode: the range, the used list, the next free address, the
// ping check, the host name and the details of the proposal. A full range opens the range-full dialog,
// whose choice gives the range of the one proposal made from it.
class NextFreeProposal
{
public:
    NextFreeProposal(AssignmentWindowParts& parts, ProposalSteps& steps);

    void pick();

private:
    void propose(const QString& item, const FreeAddress& free, bool answered);
    void rangeFull(const QString& item);

    AssignmentWindowParts& m_parts;
    ProposalSteps& m_steps;
};

} // namespace tarvo
