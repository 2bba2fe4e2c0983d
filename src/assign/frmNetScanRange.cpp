#include "assign/frmNetScanRange.h"

#include "assign/ScanController.h"
#include "core/WidgetParts.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo {

frmNetScanRange::frmNetScanRange(const Octet4Range& range, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmNetScanRange"));
    setWindowTitle(QStringLiteral("Network Scan range ..."));

    auto* Label2 = new QLabel(QStringLiteral("Please select your Network Scan start range ..."), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    auto* Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* Label1 = new QLabel(QStringLiteral("Start Range :"), Frame1);
    Label1->setObjectName(QStringLiteral("Label1"));
    cboStartRange = new QComboBox(Frame1);
    cboStartRange->setObjectName(QStringLiteral("cboStartRange"));
    cboStartRange->setEditable(false);
    auto* cmdStart = makeButton(QStringLiteral("Start"), "cmdStart", this);

    auto* frame = new QHBoxLayout(Frame1);
    frame->addWidget(Label1);
    frame->addWidget(cboStartRange, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label2);
    layout->addWidget(Frame1);
    layout->addLayout(buttonRow({cmdStart}));

    connect(cmdStart, &QPushButton::clicked, this, &frmNetScanRange::cmdStart_Click);
    Form_Load(range);
}

void frmNetScanRange::Form_Load(const Octet4Range& range)
{
    for (const int point : scanStartPoints(range))
        cboStartRange->addItem(QString::number(point), point);
    cboStartRange->setCurrentIndex(0);
}

void frmNetScanRange::cmdStart_Click()
{
    if (cboStartRange->currentIndex() >= 0)
        m_chosen = cboStartRange->currentData().toInt();
    accept();
}

} // namespace tarvo
