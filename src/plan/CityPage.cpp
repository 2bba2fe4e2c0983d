#include "plan/CityPage.h"

#include "core/AppContext.h"
#include "core/LinkLabel.h"
#include "core/Messenger.h"
#include "core/WidgetParts.h"
#include "plan/CityLists.h"
#include "plan/PlanFields.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>

namespace tarvo {

namespace {

const QString Unknown = QStringLiteral("xxx");

// Widgets side by side in one widget.
QWidget* sideBySide(QWidget* parent, std::initializer_list<QWidget*> widgets)
{
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* widget : widgets)
        layout->addWidget(widget);
    layout->addStretch();
    return row;
}

QString orUnknown(const QString& text)
{
    return text.isEmpty() ? Unknown : text;
}

} // namespace

CityPage::CityPage(SettingsShared& shared, QWidget* parent)
    : TablePage(shared, QStringLiteral("City"), "lstBandarCity", nullptr, parent)
{
    cboRegionCity = new QComboBox(this);
    cboRegionCity->setObjectName(QStringLiteral("cboRegionCity"));
    cboRegionCity->setMinimumContentsLength(16);
    lblStateCity = label("lblStateCity", QStringLiteral("State :"));
    cboStateCity = new QComboBox(this);
    cboStateCity->setObjectName(QStringLiteral("cboStateCity"));
    cboStateCity->setMinimumContentsLength(14);
    txtKodNegeri = makeField("txtKodNegeri", this);
    txtKodNegeri->setEnabled(false);
    txtKodNegeri->setMaximumWidth(60);
    auto* place = new QHBoxLayout;
    place->addWidget(label("lblRegionCity", QStringLiteral("Area :")));
    place->addWidget(cboRegionCity);
    place->addSpacing(12);
    place->addWidget(lblStateCity);
    place->addWidget(cboStateCity);
    place->addSpacing(12);
    place->addWidget(label("lblStateCode", QStringLiteral("State Code :")));
    place->addWidget(txtKodNegeri);
    place->addStretch();
    for (QWidget* widget : {lblStateCity, static_cast<QWidget*>(cboStateCity)})
        keepPlaceWhenHidden(widget);
    m_top->addLayout(place);

    auto picture = [this](const char* name, const QString& tip) {
        auto* opener = new LinkLabel({}, this);
        opener->setObjectName(QString::fromLatin1(name));
        opener->setPixmap(style()->standardIcon(QStyle::SP_FileDialogDetailedView).pixmap(16, 16));
        opener->setToolTip(tip);
        opener->hide();
        keepPlaceWhenHidden(opener);
        return opener;
    };
    auto link = [this](const char* name, const QString& caption) {
        auto* linked = new LinkLabel(caption, this);
        linked->setObjectName(QString::fromLatin1(name));
        return linked;
    };
    txtBandar = addField(label("lblCity", QStringLiteral("City :")), "txtBandar");
    txtKodBandar = addField(label("lblCityCode", QStringLiteral("City Code :")), "txtKodBandar");
    upperCaseWhileTyped(txtKodBandar);
    txtKodBandar->setToolTip(QStringLiteral("Set city code or building code. 2 or 3 characters."));

    pctOctet2List = picture("pctOctet2List", QStringLiteral("Click here to display IP Octet2 list ..."));
    lblIPOctet2 = link("lblIPOctet2", QStringLiteral("IP Octet2 :"));
    txtIPOctet2 = addField(lblIPOctet2, "txtIPOctet2", pctOctet2List);
    guardNumber(txtIPOctet2, 255);
    txtIPOctet2->setToolTip(QStringLiteral("Set Ip Octet2 (xxx.Octet2.xxx.xxx)."));

    pctOffsetList = picture("pctOffsetList", QStringLiteral("Click here to display Offset list ..."));
    lblIPOctet3 = link("lblIPOctet3", QStringLiteral("Only for small network."));
    keepPlaceWhenHidden(lblIPOctet3);
    lblOffset = link("lblOffset", QStringLiteral("Offset :"));
    txtOffset = addField(lblOffset, "txtOffset", sideBySide(this, {pctOffsetList, lblIPOctet3}));
    guardField(txtOffset,
               [this](const QString& text) { return text.isEmpty() || isNumberWithin(text, offsetLimit()); });

    // The range's help label keeps its colour while pressed. The two range boxes leave Enter, Up and
    // Down to the text box itself.
    lblIPRange = link("lblIPRange", QStringLiteral("IP Range :"));
    lblIPRange->setPressedColouring(false);
    lblIPTo = label("lblIPTo", QStringLiteral("To :"));
    txtToIPRange = makeField("txtToIPRange", this);
    txtStartIPRange =
        addField(lblIPRange, "txtStartIPRange", sideBySide(this, {lblIPTo, txtToIPRange}), Keys::OwnOnly);
    m_fields.append(txtToIPRange);
    // Focus order: name, code, octet 2, offset, then the range from its start to its end.
    const QList<QWidget*> order{txtBandar, txtKodBandar,    txtIPOctet2,
                                txtOffset, txtStartIPRange, txtToIPRange};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    for (QLineEdit* field : {txtIPOctet2, txtOffset, txtStartIPRange, txtToIPRange}) {
        field->setMaximumWidth(60);
        keepPlaceWhenHidden(field);
    }
    txtKodBandar->setMaximumWidth(80);
    guardNumber(txtStartIPRange, 255);
    guardNumber(txtToIPRange, 255);
    for (QWidget* widget : std::initializer_list<QWidget*>{lblIPRange, lblIPTo})
        keepPlaceWhenHidden(widget);

    lblIPOctet = label("lblIPOctet", QStringLiteral("xxx.xxx.xxx.xxx"));
    QFont preview = lblIPOctet->font();
    preview.setBold(true);
    lblIPOctet->setFont(preview);
    m_form->addRow(QString(), lblIPOctet);

    // Every pick runs the choice, also a pick of the item already chosen.
    connect(cboRegionCity, &QComboBox::activated, this, [this] { cboRegionCity_Click(); });
    connect(cboStateCity, &QComboBox::activated, this, [this] { cboStateCity_Click(); });
    connect(txtIPOctet2, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (txtIPOctet2->isEnabled()) {
            m_octet2 = orUnknown(text);
            showPreview();
        }
    });
    connect(txtOffset, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_octet3 = orUnknown(text);
        showPreview();
    });
    txtIPOctet2->installEventFilter(this);
    txtKodBandar->installEventFilter(this);
    connect(pctOffsetList, &LinkLabel::clicked, this, &CityPage::pctOffsetList_Click);
    connect(pctOctet2List, &LinkLabel::clicked, this, &CityPage::pctOctet2List_Click);

    const QString octet2Title = QStringLiteral("IP Octet2 Description");
    const QString octet3Title = QStringLiteral("IP Octet3 Offset Description");
    connect(lblIPOctet2, &LinkLabel::clicked, this, [this, octet2Title] {
        explain(octet2Title, QStringLiteral("IP Octet2 : "),
                SegmentMode
                    ? QStringLiteral("Enter Ip Octet2 (xxx.Octet2.xxx.xxx). Leave IP Octet3 blank and use "
                                     "Octet1.octet2.xxx.yyy to represent a city (especially for huge "
                                     "network).")
                    : QStringLiteral("Set Ip Octet2 (xxx.Octet2.xxx.xxx)."));
    });
    connect(lblOffset, &LinkLabel::clicked, this, [this, octet3Title] {
        if (SegmentMode)
            explain(octet3Title, QStringLiteral("IP Octet3 : "),
                    QStringLiteral(
                        "You can set to fix the value for Octet1 & octet 2 and vary the value for Octet 3 "
                        "to represent a city (especially for small/medium network which does not require "
                        "additional segment). It is recommended to leave IP Octet 3 as blank and use "
                        "Octet1.octet2.xxx.yyy to represent a city (especially for huge network)."));
        else
            explain(
                octet3Title, QStringLiteral("IP Octet3 Offset : "),
                QStringLiteral("Set Ip Octet3 Offset (xxx.xxx.??0.xxx). This offset will be increment by 10 "
                               "(eg:10,20,30,...)."));
    });
    connect(lblIPOctet3, &LinkLabel::clicked, this, [this, octet3Title] {
        explain(octet3Title, QStringLiteral("IP Octet3 : "),
                QStringLiteral(
                    "You can set to fix the value for Octet1 & octet 2 and vary the value for Octet 3 to "
                    "represent a city (especially for small/medium network which does not require "
                    "additional segment). It is recommended to leave Octet 3 as blank and use "
                    "Octet1.octet2.xxx.yyy to represent a city especially for huge network."));
    });
    connect(lblIPRange, &LinkLabel::clicked, this, [this] {
        explain(QStringLiteral("IP Range Description"), QStringLiteral("IP Range : "),
                QStringLiteral("You can set IP range for this City or leave this field blank to use "
                               "Equipment/Range Settings."));
    });
    showLayoutFor(false);
}

void CityPage::showLayoutFor(bool segmented)
{
    lblStateCity->setVisible(!segmented);
    cboStateCity->setVisible(!segmented);
    lblOffset->setText(segmented ? QStringLiteral("IP Octet3 :") : QStringLiteral("Offset :"));
    for (QWidget* widget :
         std::initializer_list<QWidget*>{lblIPOctet3, lblIPRange, txtStartIPRange, lblIPTo, txtToIPRange})
        widget->setVisible(segmented);
    txtOffset->setToolTip(segmented ? QStringLiteral("Set IP Octet3 (xxx.xxx.Octet3.xxx). Leave blank if "
                                                     "Octet1.Octet2.x.x represents a City.")
                                    : QStringLiteral("Set IP Octet3 (xxx.xxx.??0.xxx). This offset will be "
                                                     "increment by 10 (eg: 10,20,30,...)."));
}

int CityPage::offsetLimit() const
{
    // An offset to which a work group's digit is added stays within an octet; a fixed third octet is one.
    return SegmentMode ? 255 : 250;
}

bool CityPage::rangeShown() const
{
    return !txtStartIPRange->isHidden();
}

void CityPage::showPreview()
{
    lblIPOctet->setText(m_octet1 + QLatin1Char('.') + m_octet2 + QLatin1Char('.') + m_octet3 +
                        QStringLiteral(".xxx"));
}

void CityPage::hidePictures()
{
    pctOffsetList->hide();
    pctOctet2List->hide();
}

void CityPage::clearPlace()
{
    forgetPickedRow();
    clearList();
    clearFields();
    txtKodNegeri->clear();
    m_placeKnown = false;
}

void CityPage::showPage()
{
    cboRegionCity->clear();
    cboStateCity->clear();
    clearPlace();
    showLayoutFor(false);
    m_octet1 = m_octet2 = m_octet3 = Unknown;
    showPreview();
    enterBrowseState();
    hidePictures();
    offerAreas(cboRegionCity, [this] { return m_shared.store.areas(); });
    // An area administrator's one area is chosen at once.
    if (cboRegionCity->currentIndex() >= 0)
        cboRegionCity_Click();
    // The list and "Add" wait until an area or a state is chosen again, also after that choice.
    m_list->setEnabled(false);
    m_add->setEnabled(false);
}

void CityPage::cboRegionCity_Click()
{
    // A city of the place chosen before can no longer be updated or deleted.
    clearPlace();
    cboStateCity->clear();
    m_octet1 = m_octet2 = m_octet3 = Unknown;
    const QString area = cboRegionCity->currentText();
    SegmentMode = false;
    if (!area.isEmpty()) {
        auto row = m_shared.store.area(area);
        if (!row)
            showDatabaseError(row.error());
        else if (*row) {
            SegmentMode = (*row)->Segment_ip;
            m_octet1 = QString::number((*row)->AssignIP);
            if (SegmentMode) {
                // The area's segment code stands for the state: its cities are listed at once.
                txtKodNegeri->setText((*row)->Abbr_segment);
                m_placeKnown = true;
            }
        }
    }
    showPreview();
    showLayoutFor(SegmentMode);
    if (m_placeKnown) {
        fillList();
    } else {
        // An area administrator without an area of his own is offered every state.
        auto states = area.isEmpty() ? m_shared.store.allStates() : m_shared.store.statesOf(area);
        if (!states)
            showDatabaseError(states.error());
        else {
            for (const StateRow& state : std::as_const(*states))
                cboStateCity->addItem(state.State_name);
            cboStateCity->setCurrentIndex(-1);
            // An area with one state has it chosen at once.
            if (!area.isEmpty() && states->size() == 1) {
                cboStateCity->setCurrentIndex(0);
                cboStateCity_Click();
            }
        }
    }
    refreshBrowseButtons();
}

void CityPage::cboStateCity_Click()
{
    clearPlace();
    const QString state = cboStateCity->currentText();
    if (!state.isEmpty()) {
        // The state of the area chosen: the same name may stand in another area.
        auto row = m_shared.store.state(state, cboRegionCity->currentText());
        if (!row)
            showDatabaseError(row.error());
        else if (*row) {
            txtKodNegeri->setText((*row)->Abbr_state);
            m_placeKnown = true;
            fillList();
        }
    }
    refreshBrowseButtons();
}

void CityPage::fillList()
{
    if (!m_placeKnown)
        return clearList();
    setListRows(m_shared.store.citiesOf(txtKodNegeri->text(), cboRegionCity->currentText()),
                [](const CityRow& row) { return row.City_name; });
}

bool CityPage::listUsable() const
{
    return m_placeKnown;
}

void CityPage::setChoosersEnabled(bool enabled)
{
    cboRegionCity->setEnabled(enabled);
    cboStateCity->setEnabled(enabled);
}

void CityPage::setFieldsEnabled(bool enabled)
{
    for (QLineEdit* field : {txtBandar, txtKodBandar, txtIPOctet2, txtOffset})
        field->setEnabled(enabled);
    txtStartIPRange->setEnabled(enabled && rangeShown());
    txtToIPRange->setEnabled(enabled && rangeShown());
}

QStringList CityPage::snapshot() const
{
    QStringList values{txtBandar->text(), txtKodBandar->text(), txtIPOctet2->text(), txtOffset->text()};
    if (rangeShown())
        values << txtStartIPRange->text() << txtToIPRange->text();
    return values;
}

DbResult<bool> CityPage::showRow(qint64 rowId)
{
    auto row = m_shared.store.cityByRowId(rowId);
    if (!row || !*row)
        return row ? DbResult<bool>(false) : DbResult<bool>(row.failure());
    const CityRow& city = **row;
    txtBandar->setText(city.City_name);
    txtKodBandar->setText(city.Abbr_city);
    txtIPOctet2->setText(QString::number(city.IP_octet2));
    if (city.Offset)
        txtOffset->setText(QString::number(*city.Offset));
    if (city.hasRange()) {
        txtStartIPRange->setText(QString::number(city.StartIPRange));
        txtToIPRange->setText(QString::number(city.ToIPRange));
    }
    m_octet2 = QString::number(city.IP_octet2);
    showPreview();
    return true;
}

bool CityPage::inputAccepted()
{
    if (txtKodBandar->text().isEmpty()) {
        warn(PlanText::pleaseEnter(captionOf(txtKodBandar)), QStringLiteral("Error !!!"), txtKodBandar);
        return false;
    }
    if (txtIPOctet2->text().isEmpty()) {
        warn(QStringLiteral("Please enter IP Octet 2 !"), QStringLiteral("Error !!!"), txtIPOctet2);
        return false;
    }
    if (!SegmentMode && txtOffset->text().isEmpty()) {
        warn(QStringLiteral("Please enter Offset !"), QStringLiteral("Error !!!"), txtOffset);
        return false;
    }
    // What the field refuses to take may still come from a row written outside Tarvo.
    if (const int most = offsetLimit();
        !txtOffset->text().isEmpty() && !isNumberWithin(txtOffset->text(), most)) {
        warn(QStringLiteral("Please enter %1 from 0 to %2 !")
                 .arg(SegmentMode ? QStringLiteral("IP Octet 3") : QStringLiteral("Offset"))
                 .arg(most),
             QStringLiteral("Error !!!"), txtOffset);
        return false;
    }
    // A range has both ends or none: one end alone would be stored as no range.
    if (rangeShown() && txtStartIPRange->text().isEmpty() != txtToIPRange->text().isEmpty()) {
        warn(QStringLiteral("Please enter both ends of the IP Range, or leave both blank !"),
             QStringLiteral("Error !!!"), txtStartIPRange->text().isEmpty() ? txtStartIPRange : txtToIPRange);
        return false;
    }
    return true;
}

bool CityPage::acceptedAfterChecks()
{
    const CityRow row = rowFromFields();
    if (row.ToIPRange < row.StartIPRange) {
        QApplication::beep();
        warn(QStringLiteral("The end of the IP Range should not be less than its start ..."),
             QStringLiteral("Error"), txtStartIPRange);
        return false;
    }
    if (!SegmentMode && row.Offset.value_or(0) % 10 != 0) {
        m_shared.context.messenger().inform(this, QStringLiteral("Offset value must increment by 10 ... "),
                                            QStringLiteral("Offset Note"), MessageIcon::Information);
        txtOffset->setFocus();
        return false;
    }
    return true;
}

void CityPage::reportClash(const PlanCheck& check)
{
    const QString title = QStringLiteral("Error");
    const QString city = QStringLiteral(" (") + check.rowName + QLatin1Char(')');
    switch (check.clash) {
    case PlanClash::Octet2AndOffset: {
        if (SegmentMode)
            return warn(QStringLiteral("IP Octet 2 and IP Octet 3 already exist !") + city, title, txtOffset);
        // The field the user changed: the offset when octet 2 stayed as it was.
        const bool offsetOnly =
            txtIPOctet2->text() == remembered().value(2) && txtOffset->text() != remembered().value(3);
        return warn(QStringLiteral("IP Octet 2 and Offset already exist !") + city, title,
                    offsetOnly ? txtOffset : txtIPOctet2);
    }
    case PlanClash::Octet2:
        return warn(QStringLiteral("IP Octet 2 already exist !") + city, title, txtIPOctet2);
    default:
        return SettingsPage::reportClash(check);
    }
}

void CityPage::firstFieldMissing()
{
    hidePictures();
}

void CityPage::editEnded()
{
    hidePictures();
}

CityRow CityPage::rowFromFields() const
{
    CityRow row;
    row.City_name = txtBandar->text();
    row.Abbr_city = txtKodBandar->text();
    row.IP_octet2 = txtIPOctet2->text().toInt();
    if (!txtOffset->text().isEmpty())
        row.Offset = txtOffset->text().toInt();
    if (rangeShown() && !txtStartIPRange->text().isEmpty() && !txtToIPRange->text().isEmpty()) {
        row.StartIPRange = txtStartIPRange->text().toInt();
        row.ToIPRange = txtToIPRange->text().toInt();
    }
    row.Abbr_state = txtKodNegeri->text();
    row.Region = cboRegionCity->currentText();
    return row;
}

bool CityPage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        if (watched == txtIPOctet2 && txtIPOctet2->isEnabled())
            txtIPOctet2_LostFocus();
        else if (watched == txtKodBandar && txtKodBandar->isEnabled())
            txtKodBandar_LostFocus();
    }
    return SettingsPage::eventFilter(watched, event);
}

void CityPage::txtIPOctet2_LostFocus()
{
    if (txtIPOctet2->text().isEmpty() || SegmentMode || txtBandar->text().isEmpty() ||
        txtKodBandar->text().isEmpty())
        return;
    // Other cities of the state that use the octet 2: their offsets can be listed.
    auto used = m_shared.store.citiesWithOctet2(txtKodNegeri->text(), cboRegionCity->currentText(),
                                                txtIPOctet2->text().toInt());
    if (used && !used->isEmpty())
        pctOffsetList->show();
}

void CityPage::txtKodBandar_LostFocus()
{
    if (txtKodBandar->text().isEmpty() || !SegmentMode)
        return;
    auto any = m_shared.store.areaHasCities(cboRegionCity->currentText());
    if (any && *any)
        pctOctet2List->show();
}

void CityPage::pctOffsetList_Click()
{
    // The list shows the place and octet 2 the fields hold now.
    const QString octet2 = txtIPOctet2->text();
    frmOffsetList list(m_shared.context, txtKodNegeri->text(), cboRegionCity->currentText(),
                       octet2.isEmpty() ? -1 : octet2.toInt(), this);
    if (list.exec() == QDialog::Accepted)
        txtOffset->setFocus();
}

void CityPage::pctOctet2List_Click()
{
    frmOctet2List list(m_shared.context, txtKodNegeri->text(), cboRegionCity->currentText(), this);
    if (list.exec() == QDialog::Accepted)
        txtIPOctet2->setFocus();
}

void CityPage::explain(const QString& title, const QString& firstLine, const QString& text)
{
    m_shared.context.messenger().inform(this, firstLine + QStringLiteral("\r\n") + text, title,
                                        MessageIcon::Information);
}

} // namespace tarvo
