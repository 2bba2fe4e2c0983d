#include "subnetcalc/frmSubnetCal.h"

#include "core/Messenger.h"
#include "subnetcalc/OctetBox.h"
#include "subnetcalc/SubnetListModel.h"
#include "subnetcalc/SubnetRowDelegate.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace tarvo {

namespace {

const QString ErrorTitle = QStringLiteral("Error");

QLabel* namedLabel(const QString& objectName, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(objectName);
    return label;
}

QString dottedText(const OctetTexts& texts)
{
    return QStringList(texts.begin(), texts.end()).join(QLatin1Char('.'));
}

// The box that holds the given widget, or -1.
int indexOf(const std::array<OctetBox*, 4>& boxes, const QObject* object)
{
    for (int i = 0; i < 4; ++i) {
        if (boxes[i] == object)
            return i;
    }
    return -1;
}

bool isUnmodified(const QKeyEvent& key)
{
    return (key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == 0;
}

bool isModifierKey(const QKeyEvent& key)
{
    switch (key.key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
        return true;
    default:
        return false;
    }
}

// "." and Enter move on to the next box.
bool isNextBoxKey(const QKeyEvent& key)
{
    return key.key() == Qt::Key_Period || key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

} // namespace

frmSubnetCal::frmSubnetCal(Messenger& messenger, QWidget* parent) : QDialog(parent), m_messenger(messenger)
{
    setObjectName(QStringLiteral("frmSubnetCal"));
    setWindowTitle(QStringLiteral("Subnet Calculator"));
    setModal(true);
    buildControls();

    for (int i = 0; i < 4; ++i) {
        connect(m_txtip[i], &QLineEdit::textChanged, this, [this, i] { txtip_Change(i); });
        connect(m_txtsm[i], &QLineEdit::textChanged, this, [this, i] { txtsm_Change(i); });
        m_txtip[i]->installEventFilter(this);
        m_txtsm[i]->installEventFilter(this);
    }
    m_picIP->installEventFilter(this);
    m_picSM->installEventFilter(this);
    connect(m_cmdCalculate, &QPushButton::clicked, this, &frmSubnetCal::cmdCalculate_Click);
    connect(m_cmdTutup, &QPushButton::clicked, this, &QDialog::reject);
    m_txtip[0]->setFocus();
}

QFrame* frmSubnetCal::buildOctetFrame(const QString& objectName, OctetBoxes& boxes, const QString& boxName,
                                      const std::array<QString, 4>& texts)
{
    auto* frame = new QFrame(this);
    frame->setObjectName(objectName);
    frame->setFrameShape(QFrame::StyledPanel);
    auto* row = new QHBoxLayout(frame);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(2);
    for (int i = 0; i < 4; ++i) {
        if (i > 0)
            row->addWidget(new QLabel(QStringLiteral("."), frame));
        boxes[i] = new OctetBox(boxName + QString::number(i), texts[i], frame);
        row->addWidget(boxes[i]);
    }
    row->addStretch();
    return frame;
}

void frmSubnetCal::buildControls()
{
    auto* frame1 = new QGroupBox(QStringLiteral("[ IP Information ]"), this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    m_picIP =
        buildOctetFrame(QStringLiteral("picIP"), m_txtip, QStringLiteral("txtip"),
                        {QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")});
    m_picSM = buildOctetFrame(
        QStringLiteral("picSM"), m_txtsm, QStringLiteral("txtsm"),
        {QStringLiteral("255"), QStringLiteral("255"), QStringLiteral("255"), QStringLiteral("0")});
    m_cmdCalculate = new QPushButton(QStringLiteral("Calculate"), frame1);
    m_cmdCalculate->setObjectName(QStringLiteral("cmdCalculate"));
    m_cmdTutup = new QPushButton(QStringLiteral("Close"), frame1);
    m_cmdTutup->setObjectName(QStringLiteral("cmdTutup"));
    auto* entry = new QGridLayout(frame1);
    entry->addWidget(namedLabel(QStringLiteral("Label2"), QStringLiteral("IP Address:"), frame1), 0, 0);
    entry->addWidget(m_picIP, 0, 1);
    entry->addWidget(m_cmdCalculate, 0, 2);
    entry->addWidget(namedLabel(QStringLiteral("Label3"), QStringLiteral("Subnet Mask:"), frame1), 1, 0);
    entry->addWidget(m_picSM, 1, 1);
    entry->addWidget(m_cmdTutup, 1, 2);
    entry->setColumnStretch(1, 1);

    auto* frame2 = new QGroupBox(QStringLiteral("[ Subnet Information ]"), this);
    frame2->setObjectName(QStringLiteral("Frame2"));
    m_lblNetID = namedLabel(QStringLiteral("lblNetID"), QString(), frame2);
    m_lblclass = namedLabel(QStringLiteral("lblclass"), QString(), frame2);
    m_lbltype = namedLabel(QStringLiteral("lbltype"), QString(), frame2);
    m_lblnumhosts = namedLabel(QStringLiteral("lblnumhosts"), QString(), frame2);
    auto* results = new QGridLayout;
    const std::array<std::pair<QLabel*, QLabel*>, 4> rows{{
        {namedLabel(QStringLiteral("Label4"), QStringLiteral("Network ID:"), frame2), m_lblNetID},
        {namedLabel(QStringLiteral("Label5"), QStringLiteral("IP Address Class:"), frame2), m_lblclass},
        {namedLabel(QStringLiteral("Label6"), QStringLiteral("Address Type:"), frame2), m_lbltype},
        {namedLabel(QStringLiteral("Label7"), QStringLiteral("No. of Hosts:"), frame2), m_lblnumhosts},
    }};
    for (int i = 0; i < 4; ++i) {
        results->addWidget(rows[i].first, i, 0);
        results->addWidget(rows[i].second, i, 1);
        rows[i].second->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    results->setColumnStretch(1, 1);

    m_subnetModel = new SubnetListModel(this);
    m_lstNetIDs = new QListView(frame2);
    m_lstNetIDs->setObjectName(QStringLiteral("lstNetIDs"));
    m_lstNetIDs->setModel(m_subnetModel);
    m_lstNetIDs->setUniformItemSizes(true);
    m_lstNetIDs->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lstNetIDs->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lstNetIDs->setMinimumHeight(160);
    // The heading stands over the list's two columns: the broadcast column starts under its word.
    const QString heading = QStringLiteral("Network ID's                  Broadcast ID's");
    QLabel* lbl = namedLabel(QStringLiteral("lbl"), heading, frame2);
    lbl->setIndent(m_lstNetIDs->frameWidth() + SubnetRowDelegate::textMargin(m_lstNetIDs));
    auto* rowDelegate = new SubnetRowDelegate(m_lstNetIDs);
    const QFontMetrics metrics = m_lstNetIDs->fontMetrics();
    rowDelegate->setBroadcastColumn(std::max(
        lbl->fontMetrics().horizontalAdvance(heading.left(heading.indexOf(QStringLiteral("Broadcast")))),
        metrics.horizontalAdvance(QStringLiteral("255.255.255.255    "))));
    m_lstNetIDs->setItemDelegate(rowDelegate);
    auto* subnets = new QVBoxLayout(frame2);
    subnets->addLayout(results);
    subnets->addWidget(lbl);
    subnets->addWidget(m_lstNetIDs, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame1);
    layout->addWidget(frame2, 1);

    const QList<QWidget*> tabOrder{m_txtip[0], m_txtip[1], m_txtip[2],     m_txtip[3], m_txtsm[0], m_txtsm[1],
                                   m_txtsm[2], m_txtsm[3], m_cmdCalculate, m_cmdTutup, m_lstNetIDs};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

bool frmSubnetCal::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto& key = *static_cast<QKeyEvent*>(event);
        // A full octet moved the focus on by itself: the "." that the user types after it belongs to
        // that octet and must not move the focus once more.
        const bool justEntered = watched == m_autoEntered;
        if (!isModifierKey(key))
            m_autoEntered = nullptr;
        if (justEntered && key.key() == Qt::Key_Period)
            return true;
        if (const int i = indexOf(m_txtip, watched); i >= 0)
            return txtip_KeyPress(i, key);
        if (const int i = indexOf(m_txtsm, watched); i >= 0)
            return txtsm_KeyPress(i, key);
        break;
    }
    case QEvent::FocusOut:
        if (watched == m_autoEntered)
            m_autoEntered = nullptr;
        break;
    case QEvent::MouseButtonPress:
        if (watched == m_autoEntered)
            m_autoEntered = nullptr;
        // A click on a frame beside its boxes starts the entry at the frame's first box.
        if (watched == m_picIP) {
            focusBox(m_txtip[0]);
            return true;
        }
        if (watched == m_picSM) {
            focusBox(m_txtsm[0]);
            return true;
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void frmSubnetCal::txtip_Change(int index)
{
    OctetBox* box = m_txtip[index];
    const int value = octetValue(box->text());
    if (value < 0 || value > 255) {
        // The user retypes the octet in place: the focus stays until the value is right.
        showOctetRangeMessage();
        box->selectAll();
        return;
    }
    if (box->text().size() == 3)
        advanceTo(index < 3 ? m_txtip[index + 1] : m_txtsm[0]);
}

void frmSubnetCal::txtsm_Change(int index)
{
    if (m_txtsm[index]->text().size() == 3) {
        if (index < 3)
            advanceTo(m_txtsm[index + 1]);
        else
            m_cmdCalculate->setFocus();
    }
}

void frmSubnetCal::advanceTo(OctetBox* box)
{
    focusBox(box);
    m_autoEntered = box;
}

bool frmSubnetCal::txtip_KeyPress(int index, const QKeyEvent& key)
{
    if (!isNextBoxKey(key))
        return false;
    focusBox(index < 3 ? m_txtip[index + 1] : m_txtsm[0]);
    return true;
}

bool frmSubnetCal::txtsm_KeyPress(int index, const QKeyEvent& key)
{
    const bool tab = key.key() == Qt::Key_Tab && isUnmodified(key);
    if (!tab && !isNextBoxKey(key))
        return false;
    OctetBox* box = m_txtsm[index];
    if (!isValidMaskOctet(octetValue(box->text()))) {
        showMaskMessage();
        focusBox(box);
        return true;
    }
    // Tab goes on along the tab order, so that it leads from the last mask box to "Calculate".
    if (tab)
        return false;
    focusBox(m_txtsm[(index + 1) % 4]);
    return true;
}

void frmSubnetCal::cmdCalculate_Click()
{
    const SubnetCalculation calculation = calculateSubnet(textsOf(m_txtip), textsOf(m_txtsm));
    if (!calculation.ok()) {
        reportProblem(calculation);
        return;
    }
    showResult(calculation.result);
    focusBox(m_txtip[0]);
}

void frmSubnetCal::showResult(const SubnetResult& result)
{
    m_lblNetID->setText(result.networkIdText());
    m_lblclass->setText(result.addressClass.ipClass);
    m_lbltype->setText(result.addressClass.addressType);
    m_lblnumhosts->setText(groupedNumber(result.hostCount));
    m_subnetModel->setSubnets(result.subnets);
    if (result.selectedRow >= 0 && result.selectedRow < m_subnetModel->rowCount()) {
        const QModelIndex row = m_subnetModel->index(static_cast<int>(result.selectedRow));
        m_lstNetIDs->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect);
        m_lstNetIDs->scrollTo(row);
    }
}

void frmSubnetCal::reportProblem(const SubnetCalculation& calculation)
{
    switch (calculation.problem) {
    case EntryProblem::None:
        return;
    case EntryProblem::NoAddress:
        m_messenger.inform(this, QStringLiteral("Please enter IP Address."), ErrorTitle,
                           MessageIcon::Exclamation);
        focusBox(m_txtip[0]);
        return;
    case EntryProblem::AddressOctetOutOfRange:
        showOctetRangeMessage();
        focusBox(m_txtip[calculation.problemBox]);
        return;
    case EntryProblem::InvalidMaskOctet:
        showMaskMessage();
        focusBox(m_txtsm[calculation.problemBox]);
        return;
    case EntryProblem::MaskNotContiguous:
        m_messenger.inform(this,
                           QStringLiteral("Subnet mask %1 is not valid: its 1 bits must all come before "
                                          "its 0 bits.\nPlease reenter number.")
                               .arg(dottedText(textsOf(m_txtsm))),
                           ErrorTitle, MessageIcon::Information);
        focusBox(m_txtsm[calculation.problemBox]);
        return;
    }
}

void frmSubnetCal::showOctetRangeMessage()
{
    m_messenger.inform(this, QStringLiteral("Number must be between 0 - 255.\nPlease reenter number."),
                       ErrorTitle, MessageIcon::Information);
}

void frmSubnetCal::showMaskMessage()
{
    m_messenger.inform(this,
                       QStringLiteral("Number for mask must be:\n0, 128, 192, 224, 240, 248, 252, 254, or "
                                      "255\nPlease reenter number."),
                       ErrorTitle, MessageIcon::Information);
}

void frmSubnetCal::focusBox(OctetBox* box)
{
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
}

OctetTexts frmSubnetCal::textsOf(const OctetBoxes& boxes)
{
    OctetTexts texts;
    for (int i = 0; i < 4; ++i)
        texts[i] = boxes[i]->text();
    return texts;
}

} // namespace tarvo
