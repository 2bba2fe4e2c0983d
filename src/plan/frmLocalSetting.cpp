#include "plan/frmLocalSetting.h"

#include "core/AppContext.h"
#include "core/Messenger.h"
#include "core/WidgetParts.h"
#include "plan/PlanFields.h"
#include "plan/SettingsPage.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo {

namespace {

const QString AreaNameCaption = QStringLiteral("Area Name :");
const QString Octet1Caption = QStringLiteral("IP Octet1 :");
const QString SegmentCodeCaption = QStringLiteral("Segment Code :");
const QString CityCaption = QStringLiteral("City or Location :");
const QString CityCodeCaption = QStringLiteral("City Code :");
const QString Octet2Caption = QStringLiteral("IP Octet2 :");

// A group of labelled rows whose captions share one width, so that the fields of all groups line up.
QGroupBox* group(const QString& title, const QList<std::pair<QString, QWidget*>>& rows, int captionWidth,
                 QWidget* parent)
{
    auto* box = new QGroupBox(title, parent);
    auto* form = new QFormLayout(box);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (const auto& [caption, field] : rows) {
        auto* label = new QLabel(caption, box);
        label->setMinimumWidth(captionWidth);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        form->addRow(label, field);
    }
    return box;
}

} // namespace

frmLocalSetting::frmLocalSetting(AppContext& context, const LocalAddress& localAddress, QWidget* parent)
    : QDialog(parent), m_context(context), m_store(context.database())
{
    setObjectName(QStringLiteral("frmLocalSetting"));
    setWindowTitle(QStringLiteral("Local IP Setting"));
    setModal(true);

    auto* explanation = new QLabel(
        QStringLiteral(
            "There's no IP Address setting in your Tarvo database, in-order to scan yor network or "
            "assign new IP Address, you should set your IP Address scheme."),
        this);
    explanation->setWordWrap(true);

    lblLocalIP = new QLabel(this);
    lblLocalIP->setObjectName(QStringLiteral("lblLocalIP"));
    QFont bold = lblLocalIP->font();
    bold.setBold(true);
    lblLocalIP->setFont(bold);
    auto* local = new QFormLayout;
    local->addRow(QStringLiteral("Your IP Address :"), lblLocalIP);

    txtRegionName = navigableField("txtRegionName", this);
    txtIPOctet1 = navigableField("txtIPOctet1", this);
    txtSegmentCode = navigableField("txtSegmentCode", this);
    txtBandar = navigableField("txtBandar", this);
    txtKodBandar = navigableField("txtKodBandar", this);
    txtIPOctet2 = navigableField("txtIPOctet2", this);
    for (QLineEdit* octet : {txtIPOctet1, txtIPOctet2}) {
        guardNumber(octet, 255);
        octet->setMaximumWidth(60);
    }
    upperCaseWhileTyped(txtSegmentCode);
    txtSegmentCode->setMaximumWidth(100);
    txtKodBandar->setMaximumWidth(100);

    lbltxtSegment = new QLabel(this);
    lbltxtSegment->setObjectName(QStringLiteral("lbltxtSegment"));
    lbltxtSegment->setFont(bold);
    lbltxtSegment->setStyleSheet(QStringLiteral("color: blue;"));

    const int captionWidth = fontMetrics().horizontalAdvance(CityCaption) + 8;
    QGroupBox* area = group(QStringLiteral("Area"),
                            {{AreaNameCaption, txtRegionName},
                             {Octet1Caption, txtIPOctet1},
                             {SegmentCodeCaption, txtSegmentCode}},
                            captionWidth, this);
    QGroupBox* city = group(QStringLiteral("City"),
                            {{CityCaption, txtBandar},
                             {CityCodeCaption, txtKodBandar},
                             {Octet2Caption, txtIPOctet2},
                             {QStringLiteral("Segment :"), lbltxtSegment}},
                            captionWidth, this);

    auto* note =
        new QLabel(QStringLiteral("Note: The default IP range for PC is 71 to 240, you can change this "
                                  "setting using IP Address settings menu (Equipment Tab)."),
                   this);
    note->setWordWrap(true);

    auto* cmdUpdateSetting = makeButton(QStringLiteral("Save"), "cmdUpdateSetting", this);
    auto* cmdCancel = makeButton(QStringLiteral("Cancel"), "cmdCancel", this);
    for (QPushButton* button : {cmdUpdateSetting, cmdCancel})
        button->setMinimumWidth(88);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addSpacing(4);
    layout->addLayout(local);
    layout->addWidget(area);
    layout->addWidget(city);
    layout->addWidget(note);
    layout->addSpacing(4);
    layout->addLayout(buttonRow({cmdUpdateSetting, cmdCancel}));
    setMinimumWidth(460);

    QWidget* order[] = {txtRegionName, txtIPOctet1, txtSegmentCode,   txtBandar,
                        txtKodBandar,  txtIPOctet2, cmdUpdateSetting, cmdCancel};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
    connect(cmdUpdateSetting, &QPushButton::clicked, this, &frmLocalSetting::cmdUpdateSetting_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmLocalSetting::cmdCancel_Click);

    Form_Load(localAddress);
    txtRegionName->setFocus();
}

frmLocalSetting::~frmLocalSetting() = default;

void frmLocalSetting::Form_Load(const LocalAddress& localAddress)
{
    const QString address = usableLocalAddress(localAddress.localIPv4());
    const QStringList parts = address.split(QLatin1Char('.'));
    lblLocalIP->setText(address);
    txtIPOctet1->setText(parts.value(0));
    txtIPOctet2->setText(parts.value(1));
    lbltxtSegment->setText(parts.value(2));

    // The sample rows as stored, or the delivered values when they are missing.
    auto area = m_store.sampleArea();
    auto city = m_store.sampleCity();
    if (!area || !city)
        showDatabaseError(!area ? area.error() : city.error());
    const bool haveArea = area && *area;
    const bool haveCity = city && *city;
    txtRegionName->setText(haveArea ? (*area)->Region : SamplePlan::Region);
    txtSegmentCode->setText((haveArea ? (*area)->Abbr_segment : SamplePlan::SegmentCode).toUpper());
    txtBandar->setText(haveCity ? (*city)->City_name : SamplePlan::City);
    txtKodBandar->setText(haveCity ? (*city)->Abbr_city : SamplePlan::CityCode);
}

void frmLocalSetting::cmdUpdateSetting_Click()
{
    const struct
    {
        QLineEdit* field;
        const QString& caption;
        const QString& title;
    } required[] = {{txtRegionName, AreaNameCaption, MessageTitle::ErrorBang},
                    {txtIPOctet1, Octet1Caption, MessageTitle::ErrorBang3},
                    {txtSegmentCode, SegmentCodeCaption, MessageTitle::ErrorBang3},
                    {txtBandar, CityCaption, MessageTitle::ErrorBang3},
                    {txtKodBandar, CityCodeCaption, MessageTitle::ErrorBang3},
                    {txtIPOctet2, Octet2Caption, MessageTitle::ErrorBang3}};
    for (const auto& entry : required) {
        if (entry.field->text().isEmpty()) {
            m_context.messenger().inform(this, PlanText::pleaseEnter(entry.caption), entry.title,
                                         MessageIcon::Exclamation);
            entry.field->setFocus();
            return;
        }
    }
    if (!m_context.messenger().confirm(this, PlanText::SaveQuestion, QStringLiteral("Save record"),
                                       MessageIcon::None, MessageButtons::OkCancel, MessageAnswer::Ok))
        return;
    const LocalPlan plan{txtRegionName->text(), txtIPOctet1->text().toInt(), txtSegmentCode->text(),
                         txtBandar->text(),     txtKodBandar->text(),        txtIPOctet2->text().toInt()};
    DbOutcome saved = DbOutcome::success();
    {
        BusyCursor busy;
        saved = m_store.save(plan);
    }
    // The window stays open with what was typed.
    if (!saved)
        return showDatabaseError(saved.error());
    accept();
}

void frmLocalSetting::cmdCancel_Click()
{
    reject();
}

void frmLocalSetting::showDatabaseError(const QString& error)
{
    m_context.messenger().inform(this, error, MessageTitle::ErrorBang3, MessageIcon::Critical);
}

} // namespace tarvo
