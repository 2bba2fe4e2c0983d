#include "core/frmSplash.h"

#include "core/BuildInfo.h"
#include "core/ProductArt.h"
#include "core/Version.h"
#include "core/WidgetParts.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

namespace tarvo {

frmSplash::frmSplash(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Tarvo ......."));
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto* shape = new QFrame(this);
    shape->setObjectName(QStringLiteral("Shape2"));
    shape->setFrameShape(QFrame::Box);
    shape->setFrameShadow(QFrame::Sunken);

    m_picture = new QLabel(shape);
    m_picture->setObjectName(QStringLiteral("Picture1"));
    m_picture->setPixmap(productPicture(96));

    auto* name = new QLabel(QStringLiteral("Manage Your IP Address Standard and Inventory System"), shape);
    name->setObjectName(QStringLiteral("lblNamaSistem"));
    name->setWordWrap(true);
    QFont nameFont = name->font();
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.4);
    nameFont.setBold(true);
    name->setFont(nameFont);

    m_version = new QLabel(shape);
    m_version->setObjectName(QStringLiteral("lbl_version"));
    m_version->setText(QString::fromUtf8(build::ProductName) + QStringLiteral(" : Version ") + versionText());

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("pro_delay"));
    m_progress->setRange(0, Steps);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("tim_delay"));
    m_timer->setInterval(TickMs);
    connect(m_timer, &QTimer::timeout, this, &frmSplash::tim_delay_Timer);

    auto* texts = new QVBoxLayout;
    texts->addStretch();
    texts->addWidget(name);
    texts->addSpacing(12);
    texts->addWidget(m_version);
    texts->addStretch();
    auto* inner = new QHBoxLayout(shape);
    inner->setContentsMargins(16, 16, 16, 16);
    inner->setSpacing(16);
    inner->addWidget(m_picture, 0, Qt::AlignTop);
    inner->addLayout(texts, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(shape, 1);
    layout->addWidget(m_progress);
    setFixedSize(520, 220);
}

void frmSplash::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    centreOnScreen(this);
    if (!m_done)
        m_timer->start();
}

int frmSplash::StepCounter(int& counter, int limit)
{
    if (counter >= limit)
        counter = 0;
    else
        ++counter;
    return counter;
}

void frmSplash::tim_delay_Timer()
{
    if (m_done)
        return;
    const int value = StepCounter(m_counter, Steps);
    if (value != 0) {
        m_progress->setValue(value);
        return;
    }
    m_done = true;
    m_timer->stop();
    close();
    Q_EMIT finished();
}

} // namespace tarvo
