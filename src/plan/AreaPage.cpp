#include "plan/AreaPage.h"

#include "core/WidgetParts.h"
#include "plan/PlanFields.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace tarvo {

namespace {
const QString Yes = QStringLiteral("1");
const QString No = QStringLiteral("0");
} // namespace

AreaPage::AreaPage(SettingsShared& shared, QWidget* parent)
    : TablePage(shared, QStringLiteral("Region"), "LstRegion", "lblDescArea", parent)
{
    txtRegionName = addField(label("lblRegionName", QStringLiteral("Area Name :")), "txtRegionName");
    txtIPOctet1 = addField(label("lblIPOctet1", QStringLiteral("IP Octet1 :")), "txtIPOctet1");
    guardNumber(txtIPOctet1, 255);
    txtIPOctet1->setMaximumWidth(60);

    QLabel* segment = label("lblSegment", QStringLiteral("Segment ? :"));
    OptYes = new QRadioButton(QStringLiteral("Yes"), this);
    OptYes->setObjectName(QStringLiteral("OptYes"));
    OptNo = new QRadioButton(QStringLiteral("No"), this);
    OptNo->setObjectName(QStringLiteral("OptNo"));
    auto* options = new QButtonGroup(this);
    options->addButton(OptYes);
    options->addButton(OptNo);
    auto* optionRow = new QHBoxLayout;
    optionRow->addWidget(OptYes);
    optionRow->addWidget(OptNo);
    optionRow->addStretch();
    m_form->addRow(segment, optionRow);

    lblSegmentCode = label("lblSegmentCode", QStringLiteral("Segment Code :"));
    txtSegmentCode = addField(lblSegmentCode, "txtSegmentCode");
    upperCaseWhileTyped(txtSegmentCode);
    txtSegmentCode->setMaximumWidth(100);
    keepPlaceWhenHidden(lblSegmentCode);
    keepPlaceWhenHidden(txtSegmentCode);

    setHelp(txtRegionName, QStringLiteral("Area Name : "),
            QStringLiteral("Set Area name such as divisional or regional..."));
    setHelp(txtIPOctet1, QStringLiteral("IP Octet1 : "),
            QStringLiteral("Set IP Octet1 (Octet1.xxx.xxx.xxx) for this area."));
    setHelp(OptYes, QStringLiteral("Segment ? : "),
            QStringLiteral("Set segment for IP area (especially for Divisional LANs)."));
    setHelp(OptNo, QStringLiteral("Segment ? : "),
            QStringLiteral("Set Non segment for IP area (especially for Regional LANs)."));
    setHelp(txtSegmentCode, QStringLiteral("Segment Code : "),
            QStringLiteral("Set segment code for this area."));

    // A choice the user makes during an edit shows or hides the code; values the program shows in the
    // browse state do not act.
    connect(OptYes, &QRadioButton::toggled, this, [this](bool on) {
        if (on && OptYes->isEnabled())
            ShowSegmentCode();
    });
    connect(OptNo, &QRadioButton::toggled, this, [this](bool on) {
        if (on && OptNo->isEnabled())
            HideSegmentCode();
    });
    HideSegmentCode();
}

void AreaPage::showPage()
{
    HideSegmentCode();
    SettingsPage::showPage();
}

void AreaPage::fillList()
{
    setListRows(m_shared.store.areas(), [](const AreaRow& row) { return row.Region; });
}

void AreaPage::ShowSegmentCode()
{
    lblSegmentCode->show();
    txtSegmentCode->show();
    txtSegmentCode->setEnabled(true);
}

void AreaPage::HideSegmentCode()
{
    lblSegmentCode->hide();
    txtSegmentCode->hide();
    txtSegmentCode->setEnabled(false);
}

void AreaPage::clearFields()
{
    SettingsPage::clearFields();
    QButtonGroup* options = OptYes->group();
    options->setExclusive(false);
    OptYes->setChecked(false);
    OptNo->setChecked(false);
    options->setExclusive(true);
}

void AreaPage::setFieldsEnabled(bool enabled)
{
    txtRegionName->setEnabled(enabled);
    txtIPOctet1->setEnabled(enabled);
    OptYes->setEnabled(enabled);
    OptNo->setEnabled(enabled);
    txtSegmentCode->setEnabled(enabled && !txtSegmentCode->isHidden());
}

QStringList AreaPage::snapshot() const
{
    return {txtRegionName->text(), txtIPOctet1->text(), OptYes->isChecked() ? Yes : No,
            OptNo->isChecked() ? Yes : No, txtSegmentCode->text()};
}

void AreaPage::restore(const QStringList& values)
{
    clearFields();
    txtRegionName->setText(values.value(0));
    txtIPOctet1->setText(values.value(1));
    OptYes->setChecked(values.value(2) == Yes);
    OptNo->setChecked(values.value(3) == Yes);
    if (OptYes->isChecked()) {
        ShowSegmentCode();
        txtSegmentCode->setText(values.value(4));
    } else {
        HideSegmentCode();
    }
}

void AreaPage::beforeAdd()
{
    HideSegmentCode();
}

DbResult<bool> AreaPage::showRow(qint64 rowId)
{
    auto row = m_shared.store.areaByRowId(rowId);
    if (!row || !*row)
        return row ? DbResult<bool>(false) : DbResult<bool>(row.failure());
    const AreaRow& area = **row;
    txtRegionName->setText(area.Region);
    txtIPOctet1->setText(QString::number(area.AssignIP));
    // The code box holds only the code of the area shown, so that switching an area to segmented
    // never saves another area's code.
    txtSegmentCode->clear();
    if (area.Segment_ip) {
        OptYes->setChecked(true);
        ShowSegmentCode();
        txtSegmentCode->setText(area.Abbr_segment);
    } else {
        OptNo->setChecked(true);
        HideSegmentCode();
    }
    return true;
}

bool AreaPage::inputAccepted()
{
    if (txtIPOctet1->text().isEmpty()) {
        warn(QStringLiteral("Please enter IP Octet 1 !"), QStringLiteral("Error !!!"), txtIPOctet1);
        return false;
    }
    if (!OptYes->isChecked() && !OptNo->isChecked()) {
        warn(QStringLiteral("Please choose Segment or Not !"), QStringLiteral("Error !!!"), OptYes);
        return false;
    }
    return true;
}

QLineEdit* AreaPage::clashField(PlanClash clash) const
{
    return clash == PlanClash::Code ? txtSegmentCode : txtRegionName;
}

AreaRow AreaPage::rowFromFields() const
{
    const bool segmented = OptYes->isChecked();
    return {0, txtRegionName->text(), txtIPOctet1->text().toInt(), segmented,
            segmented ? txtSegmentCode->text() : QString()};
}

} // namespace tarvo
