#pragma once

#include <QString>

namespace tarvo {

struct AssignmentWindowParts;
struct SaveResult;

// The save of a proposal (cmdSave_Click): the host-name check, the question (unless the run saves by
// itself), the record with the date of issue and the administrator's name, the used list read again,
// the assignment-log block, and then the run's continuation.
class SaveFlow
{
public:
    explicit SaveFlow(AssignmentWindowParts& parts);

    void cmdSave_Click();

private:
    void SaveIPRecord();
    // Shows why the store saved nothing; the proposal stays on screen.
    void refused(const SaveResult& result);
    void duplicateHostName(const QString& name, const QString& clashAddress);
    void showSavedList();

    AssignmentWindowParts& m_parts;
};

} // namespace tarvo
