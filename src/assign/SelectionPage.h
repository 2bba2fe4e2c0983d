#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;

namespace tarvo {

class AppContext;
class PlanStore;
struct AssignmentState;

// A choice that the user has still to make before a proposal: the message and the field to go to.
struct MissingChoice
{
    QString message;
    QWidget* field = nullptr;
};

// The selection area of the assignment window: the location cascade (area, state, city, work group or
// typed segment) that fixes octets 1 to 3 and host-name parts 2 to 4, the count box (or octet 4 in
// Dedicated mode), the equipment list, and the two previews of the address and the host name. Each
// step reads the next level of the address plan and rebuilds the previews.
class SelectionPage final : public QWidget
{
    Q_OBJECT
public:
    SelectionPage(AppContext& context, PlanStore& plan, AssignmentState& state, QWidget* parent = nullptr);

    // The opening: the mode's labels, the area list (limited to an area administrator's own area).
    void Form_Load();
    // Empties every list and box without running their rules, as before the opening (the live
    // database changed).
    void restart();

    // The cascade steps, run by a pick in their list.
    void cboRegion_Click();
    void cboState_Click();
    void cboCity_Click();
    void cboWorkGroup_Click();

    void FillEquipmentCombo();
    void FillWorkgroupCombo();
    void DisableSelectionFields();
    void EnableSelectionFields();
    // Rewrites the two previews from the octets and the name parts.
    void refreshPreviews();
    void setNamePreview(const QString& text);
    void setAddressPreview(const QString& text);

    // The first choice still missing for a proposal, in the order the window tests them; nothing when
    // the place is complete. New mode also needs a count of 1 to 256, Dedicated mode a typed octet 4.
    std::optional<MissingChoice> missingChoice() const;

    // Shows an equipment type in the equipment list (the range-full dialog's choice), adding it when
    // the list does not hold it; the pick is not run.
    void showEquipment(const QString& name);

    QString areaText() const;
    QString stateText() const;
    QString cityText() const;
    QString workgroupText() const;
    QString countText() const;
    QString equipmentText() const;
    // True in an area with states: the state list is shown.
    bool stateShown() const;
    QLineEdit* countBox() const { return txtBilangan; }
    // The selection controls in the window's tab order.
    QList<QWidget*> fieldsInTabOrder() const;
    QLabel* recordNumberLabel() const { return lblRekodKe; }
    QLabel* progressLabel() const { return lblBilangan; }

Q_SIGNALS:
    // A step of the cascade, or a rule of the segment or count box, ran: no proposal stands any more.
    void selectionChanged();
    // The count box's text changed (New mode: the number of addresses of the run).
    void countChanged(const QString& text);
    // The user picked an entry of the equipment list.
    void equipmentPicked();

private:
    void buildControls();
    void txtSegment_Change();
    void txtBilangan_Change();
    void fillAreas();
    void fillStates();
    void fillCities(const QString& stateCode);
    void emptyCity();
    bool segmentShown() const;
    // Shows a vanished list entry's message; the caller reads the list again.
    void reportVanished(const QString& what, const QString& name);

    AppContext& m_context;
    PlanStore& m_plan;
    AssignmentState& m_state;

    QLabel* lblRegion = nullptr;
    QLabel* lblState = nullptr;
    QLabel* lblCity = nullptr;
    QLabel* lblWorkGroup = nullptr;
    QLabel* lblTotalRequired = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* cboRegion = nullptr;
    QComboBox* cboState = nullptr;
    QComboBox* cboCity = nullptr;
    QComboBox* cboWorkGroup = nullptr;
    QLineEdit* txtSegment = nullptr;
    QLineEdit* txtBilangan = nullptr;
    QComboBox* cboEquipment = nullptr;
    QLineEdit* txtlblIPAddress = nullptr;
    QLineEdit* txtlblNamingConvention = nullptr;
    QLabel* lblRekodKe = nullptr;
    QLabel* lblBilangan = nullptr;
};

// Fills a list in the given order and leaves it showing no entry.
void fillList(QComboBox* list, const QStringList& entries);

} // namespace tarvo
