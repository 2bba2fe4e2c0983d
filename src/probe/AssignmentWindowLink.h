#pragma once

#include <QString>

namespace tarvo {

// What the address-in-use dialog of the assignment window reaches in that window. The assignment
// window supplies it when it opens the dialog.
class AssignmentWindowLink
{
public:
    virtual ~AssignmentWindowLink() = default;

    // The text of txtBilangan, the number of addresses of the current run ("1": a single assignment).
    virtual QString bilanganText() const = 0;
    // Makes lblRekodKe visible.
    virtual void showRecordNumber() = 0;
    // Marks the proposed address as in use: lblBilangan visible, red (255), caption "X".
    virtual void markProposalInUse() = 0;
    // The window's close-time operation, which its modal dialogs call once as they close.
    virtual void closeTimeOperation() = 0;
    // The device's details: txtStaffNo, txtLANID and txtRemarks (each replaces the field's text).
    virtual void setStaffNo(const QString& text) = 0;
    virtual void setLanId(const QString& text) = 0;
    virtual void setRemarks(const QString& text) = 0;
};

} // namespace tarvo
