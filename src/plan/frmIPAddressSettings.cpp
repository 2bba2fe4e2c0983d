#include "plan/frmIPAddressSettings.h"

#include "core/AppContext.h"
#include "core/DatabaseService.h"
#include "core/WindowRegistry.h"
#include "plan/AreaPage.h"
#include "plan/CityPage.h"
#include "plan/EquipmentPage.h"
#include "plan/StatePage.h"
#include "plan/WorkgroupPage.h"

#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tarvo {

namespace {
constexpr int AreaTab = 0;
constexpr int StateTab = 1;
constexpr int CityTab = 2;
} // namespace

frmIPAddressSettings::frmIPAddressSettings(AppContext& context, QWidget* parent)
    : QWidget(parent), m_shared{context,
                                PlanStore(context.database()),
                                PlanEdits(context.database()),
                                false,
                                [this](bool editing) { lockTabs(editing); },
                                [this] { CloseSettings(); }}
{
    setObjectName(QStringLiteral("frmIPAddressSettings"));
    setWindowTitle(QStringLiteral("IP Address Settings"));

    SSTabSetting = new QTabWidget(this);
    SSTabSetting->setObjectName(QStringLiteral("SSTabSetting"));
    m_tabs = {new AreaPage(m_shared), new StatePage(m_shared), new CityPage(m_shared),
              new WorkgroupPage(m_shared), new EquipmentPage(m_shared)};
    const QStringList captions{QStringLiteral("Area"), QStringLiteral("State"), QStringLiteral("City"),
                               QStringLiteral("Work Group"), QStringLiteral("Equipment")};
    for (int tab = 0; tab < m_tabs.size(); ++tab)
        SSTabSetting->addTab(m_tabs[tab], captions[tab]);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SSTabSetting);
    resize(720, 440);

    connect(SSTabSetting, &QTabWidget::currentChanged, this, &frmIPAddressSettings::SSTabSetting_Click);

    // Nothing is held open on the database; after a change of it the page shown is read again. An edit
    // in progress is the window's unsaved edit.
    new DatabaseHold(context.databaseService(), this,
                     {.reload = [this] { SSTabSetting_Click(); },
                      .unsavedEdit =
                          [this] {
                              const SettingsPage* page = currentPage();
                              return page && page->isEditing();
                          },
                      .discardEdit =
                          [this] {
                              if (SettingsPage* page = currentPage())
                                  page->cancelEdit();
                          }});
    Form_Load();
}

frmIPAddressSettings::~frmIPAddressSettings() = default;

bool frmIPAddressSettings::isAreaAdministrator() const
{
    return m_shared.context.session().LoginGroup == GroupKawasan;
}

SettingsPage* frmIPAddressSettings::currentPage() const
{
    return qobject_cast<SettingsPage*>(SSTabSetting->currentWidget());
}

void frmIPAddressSettings::Form_Load()
{
    {
        const QSignalBlocker blocker(SSTabSetting);
        SSTabSetting->setCurrentIndex(isAreaAdministrator() ? StateTab : AreaTab);
    }
    lockTabs(false);
    SSTabSetting_Click();
}

void frmIPAddressSettings::SSTabSetting_Click()
{
    if (SettingsPage* page = currentPage()) {
        page->headList();
        page->showPage();
    }
}

void frmIPAddressSettings::lockTabs(bool editing)
{
    const int current = SSTabSetting->currentIndex();
    for (int tab = 0; tab < SSTabSetting->count(); ++tab) {
        const bool reachable = !isAreaAdministrator() || tab == StateTab || tab == CityTab;
        SSTabSetting->setTabEnabled(tab, editing ? tab == current : reachable);
    }
}

void frmIPAddressSettings::CloseSettings()
{
    closeWindowOf(this);
}

} // namespace tarvo
