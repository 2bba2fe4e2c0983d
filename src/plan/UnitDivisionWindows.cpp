#include "plan/UnitDivisionWindows.h"

#include "core/AppContext.h"
#include "core/MainWindowAccess.h"
#include "core/Messenger.h"
#include "core/WidgetParts.h"
#include "plan/frmUnitDivision.h"

#include <QScreen>

namespace tarvo {

UnitDivisionWindows::UnitDivisionWindows(AppContext& context)
    : m_context(context), m_detailRefill(std::make_shared<OpenerCallback>())
{}

UnitDivisionWindows::~UnitDivisionWindows() = default;

frmUnitDivision* UnitDivisionWindows::window() const
{
    return m_window && m_window->isVisible() ? m_window.data() : nullptr;
}

void UnitDivisionWindows::runModal(QWidget* parent, OpenerCallback refillOpener)
{
    if (frmUnitDivision* open = window()) {
        if (open->isEditing()) {
            open->raise();
            open->activateWindow();
            m_context.messenger().inform(
                open, QStringLiteral("Save or cancel the change in Unit / Division Setting first."),
                MessageTitle::ErrorBang3, MessageIcon::Exclamation);
            return;
        }
        if (!open->close())
            return;
    }
    const std::shared_ptr<OpenerCallback> detailRefill = m_detailRefill;
    frmUnitDivision modal(
        m_context,
        [refillOpener = std::move(refillOpener), detailRefill] {
            refillOpener();
            (*detailRefill)();
        },
        parent);
    modal.exec();
}

void UnitDivisionWindows::showForDetail(OpenerCallback refillDetail, MainWindowAccess& mainWindow)
{
    *m_detailRefill = std::move(refillDetail);
    if (frmUnitDivision* open = window()) {
        if (!open->isEditing())
            open->reopen();
        if (open->isMinimized())
            open->showNormal();
    } else {
        m_window = new frmUnitDivision(m_context, [refill = std::weak_ptr<OpenerCallback>(m_detailRefill)] {
            if (const std::shared_ptr<OpenerCallback> call = refill.lock())
                (*call)();
        });
        mainWindow.showOwnedWindow(m_window);
    }
    placeOverMainWindow(m_window, mainWindow.mainWidget());
    m_window->raise();
    m_window->activateWindow();
}

void placeOverMainWindow(QWidget* window, const QWidget* mainWindow)
{
    const QRect main = mainWindow->frameGeometry();
    const QRect own = window->frameGeometry();
    QPoint at(main.x() + (main.width() - own.width()) / 2,
              main.y() + qRound((main.height() * 0.885 - own.height()) / 2));
    // Never above or left of the screen, where it could not be moved back.
    if (const QScreen* screen = mainWindow->screen()) {
        const QRect available = screen->availableGeometry();
        at.setX(qMax(at.x(), available.left()));
        at.setY(qMax(at.y(), available.top()));
    }
    window->move(at);
}

} // namespace tarvo
