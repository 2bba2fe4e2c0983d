#include "core/frmCariDB.h"

#include "core/AppContext.h"
#include "core/FileDialogs.h"
#include "core/Messenger.h"
#include "core/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo {

frmCariDB::frmCariDB(const AppContext& context, LocateMode mode, QWidget* parent)
    : QDialog(parent), m_context(context), m_mode(mode)
{
    setObjectName(QStringLiteral("frmCariDB"));
    setWindowTitle(QStringLiteral("Tarvo database folder"));
    setModal(true);

    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* label1 = new QLabel(QStringLiteral("Tarvo database folder ..."), frame);
    label1->setObjectName(QStringLiteral("Label1"));
    m_folder = new QLabel(frame);
    m_folder->setObjectName(QStringLiteral("Label2"));
    m_folder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_folder->setMinimumWidth(360);
    QFont bold = m_folder->font();
    bold.setBold(true);
    m_folder->setFont(bold);
    auto* inner = new QVBoxLayout(frame);
    inner->addWidget(label1);
    inner->addWidget(m_folder);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &frmCariDB::Command1_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);
}

LocateChoice frmCariDB::run()
{
    const QString location = configuredDatabaseLocation(m_context);
    OpenFileRequest request;
    request.title = QStringLiteral("Browse for Tarvo database ...");
    request.fileName = DatabaseFileName;
    request.startFolder = location.isEmpty() ? m_context.program().ProgramFolder : location;
    request.filters = {QStringLiteral("All Files (*)"), QStringLiteral("MS Access 2000 Files (*.mdb)"),
                       QStringLiteral("Tarvo database (") + DatabaseFileName + QLatin1Char(')')};
    request.selectedFilter = 2;

    const QString chosen =
        QDir::fromNativeSeparators(m_context.fileDialogs().chooseFileToOpen(parentWidget(), request));
    if (chosen.isEmpty()) {
        // Without a recorded location the start-up has nowhere to look; elsewhere a cancel changes nothing.
        if (m_mode == LocateMode::StartUp && location.isEmpty()) {
            m_context.messenger().inform(parentWidget(), QStringLiteral("No Database !!!"),
                                         QStringLiteral("Error"), MessageIcon::Critical);
            return LocateChoice::endProgram();
        }
        // The window shows the folder where the search started; the database in use stays.
        m_folder->setText(withTrailingSeparator(request.startFolder));
        exec();
        return LocateChoice::kept();
    }

    // The database is always the folder's Tarvodb.mdb, whichever file of the folder was picked, so that
    // the next start finds the same file through the recorded folder.
    const QString folder = folderOf(chosen);
    if (!QFileInfo::exists(joinPath(folder, DatabaseFileName))) {
        m_context.messenger().inform(parentWidget(), QStringLiteral("Tarvo database not found!"),
                                     QStringLiteral("Error"), MessageIcon::Critical);
        return m_mode == LocateMode::StartUp ? LocateChoice::endProgram() : LocateChoice::kept();
    }

    // OK and a close by the window frame alike take the database picked.
    m_folder->setText(withTrailingSeparator(folder));
    exec();
    return LocateChoice::chosen(folder);
}

void frmCariDB::Command1_Click()
{
    accept();
}

} // namespace tarvo
