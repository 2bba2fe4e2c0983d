#pragma once

#include "assign/AssignmentRules.h"

#include <QDialog>

#include <optional>

class QComboBox;

namespace tarvo {

// "Network Scan range ...": the start point of a big network scan, chosen from the range start and
// every 30th value after it (the list takes no typed text). Start hands the chosen point back; closing
// the dialog otherwise leaves the walk at the range start.
class frmNetScanRange final : public QDialog
{
    Q_OBJECT
public:
    explicit frmNetScanRange(const Octet4Range& range, QWidget* parent = nullptr);

    // The start point chosen with Start.
    const std::optional<int>& chosenStart() const { return m_chosen; }

private:
    void Form_Load(const Octet4Range& range);
    void cmdStart_Click();

    QComboBox* cboStartRange = nullptr;
    std::optional<int> m_chosen;
};

} // namespace tarvo
