#include "core/UpgradeNotice.h"

#include "core/DatabaseService.h"
#include "core/ProductArt.h"
#include "core/WidgetParts.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>

#include <algorithm>

namespace tarvo {

namespace {

// Whether a window of the program other than notice is on screen.
bool otherWindowShown(const QWidget* notice)
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.cbegin(), windows.cend(), [notice](const QWidget* window) {
        return window != notice && window->isVisible() && !window->isMinimized();
    });
}

} // namespace

UpgradeNotice::UpgradeNotice(DatabaseService& service, QWidget* parent)
    : QFrame(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmUpgradeNotice"));
    setWindowTitle(QStringLiteral("Tarvo"));
    setFrameShape(QFrame::Box);
    auto* picture = new QLabel(this);
    picture->setPixmap(productPicture(48));
    auto* text = new QLabel(QStringLiteral("The Tarvo database is being brought up to date. This may take a "
                                           "while on a large database; Tarvo goes on when it is done."),
                            this);
    text->setObjectName(QStringLiteral("lblUpgrade"));
    text->setWordWrap(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(16);
    layout->addWidget(picture, 0, Qt::AlignTop);
    layout->addWidget(text, 1);
    setFixedWidth(420);

    connect(&service, &DatabaseService::upgradeStarted, this, &UpgradeNotice::upgradeStarted);
    connect(&service, &DatabaseService::upgradeEnded, this, &QWidget::hide);
}

void UpgradeNotice::upgradeStarted()
{
    if (otherWindowShown(this))
        return;
    adjustSize();
    centreOnScreen(this);
    show();
}

} // namespace tarvo
