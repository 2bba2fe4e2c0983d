#include "records/RecordWindows.h"

#include "core/MainWindowAccess.h"
#include "records/frmCarian.h"
#include "records/frmMaklumatIP.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace tarvo {

namespace {

void bringForward(QWidget* window)
{
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget())) {
        if (sub->isMinimized())
            sub->showNormal();
        if (QMdiArea* area = sub->mdiArea())
            area->setActiveSubWindow(sub);
        return;
    }
    window->raise();
    window->activateWindow();
}

SearchWindowLink linkTo(frmCarian& searchWindow)
{
    frmCarian* opener = &searchWindow;
    return {OpenerCallback(opener, [opener] { opener->refreshAfterSave(); }),
            OpenerCallback(opener, [opener] { opener->refreshAfterDelete(); })};
}

} // namespace

RecordWindows::RecordWindows(RecordsServices services) : m_services(std::move(services)) {}

frmMaklumatIP* RecordWindows::detailWindow() const
{
    return m_detail;
}

frmCarian* RecordWindows::createSearchWindow(QWidget* parent)
{
    return new frmCarian(m_services.context, *this, parent);
}

void RecordWindows::showDetail(const RecordSearch& DetailSQL, frmCarian& searchWindow)
{
    // A detail window closed outside a main window is hidden, not gone: it is not shown again.
    if (m_detail && m_detail->isHidden()) {
        m_detail->deleteLater();
        m_detail = nullptr;
    }
    if (m_detail) {
        m_detail->setSearchWindowLink(linkTo(searchWindow));
        if (!m_detail->isEditing())
            m_detail->Form_Load(DetailSQL);
        bringForward(m_detail);
        return;
    }
    m_detail = new frmMaklumatIP(m_services, linkTo(searchWindow));
    m_services.mainWindow.showChildWindow(m_detail);
    m_detail->Form_Load(DetailSQL);
}

} // namespace tarvo
