#include "core/frmAbout.h"

#include "core/AppContext.h"
#include "core/BuildInfo.h"
#include "core/LinkLabel.h"
#include "core/ProductArt.h"
#include "core/Shell.h"
#include "core/Version.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo {

namespace {
QLabel* namedLabel(const QString& name, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    return label;
}
} // namespace

frmAbout::frmAbout(const AppContext& context, QWidget* parent) : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Tarvo"));
    setModal(true);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Picture2"));
    picture->setPixmap(productPicture(64));

    auto* productName =
        namedLabel(QStringLiteral("lblProductName"),
                   context.productTitle() + QStringLiteral(" version ") + versionText(), this);
    QFont titleFont = productName->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    productName->setFont(titleFont);
    auto* label1 = namedLabel(QStringLiteral("Label1"),
                              QStringLiteral("Manage Your IP Address Standard and Inventory"), this);
    auto* description =
        namedLabel(QStringLiteral("lblDescription"), QString::fromUtf8(build::Comments), this);

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("fr"));
    frame->setFrameShape(QFrame::HLine);
    frame->setFrameShadow(QFrame::Sunken);

    auto* copyright = namedLabel(QStringLiteral("lblCopyright"), QString::fromUtf8(build::Copyright), this);
    auto* company = namedLabel(QStringLiteral("lblCompany"), QString::fromUtf8(build::CompanyName), this);
    auto* web = new LinkLabel(QString::fromUtf8(build::WebAddress), this);
    web->setObjectName(QStringLiteral("Label2"));
    auto* mail = new LinkLabel(QString::fromUtf8(build::MailAddress), this);
    mail->setObjectName(QStringLiteral("Label5"));
    connect(web, &LinkLabel::clicked, this, &frmAbout::Label2_Click);
    connect(mail, &LinkLabel::clicked, this, &frmAbout::Label5_Click);

    auto* shape = new QFrame(this);
    shape->setObjectName(QStringLiteral("Shape1"));
    shape->setFrameShape(QFrame::Box);

    auto* ok = new QPushButton(QStringLiteral("Close"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* maker = new QVBoxLayout(shape);
    maker->addWidget(copyright);
    maker->addWidget(company);
    maker->addWidget(web);
    maker->addWidget(mail);

    auto* texts = new QVBoxLayout;
    texts->addWidget(productName);
    texts->addWidget(label1);
    texts->addSpacing(8);
    texts->addWidget(description);
    texts->addWidget(frame);
    texts->addWidget(shape);

    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(texts, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    setFixedWidth(480);
}

void frmAbout::Label2_Click()
{
    auto* label = findChild<LinkLabel*>(QStringLiteral("Label2"));
    openOrTell(m_context.shell(), m_context.messenger(), this, label->text());
}

void frmAbout::Label5_Click()
{
    auto* label = findChild<LinkLabel*>(QStringLiteral("Label5"));
    openOrTell(m_context.shell(), m_context.messenger(), this, QStringLiteral("mailto:") + label->text());
}

} // namespace tarvo
