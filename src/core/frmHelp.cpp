#include "core/frmHelp.h"

#include "core/AppContext.h"
#include "core/Messenger.h"
#include "core/ProgramFolder.h"
#include "core/Shell.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace tarvo {

namespace {

const QString DefaultTitle = QStringLiteral("Tarvo Help");

// Why a file cannot be shown, for the user; empty when it can.
QString showProblem(const QString& path)
{
    const QFileInfo file(path);
    if (!file.isFile())
        return QStringLiteral("it does not exist");
    if (!file.isReadable())
        return QStringLiteral("it cannot be read");
    return {};
}

// Pages that the window shows itself; anything else is handed to the desktop.
bool isPage(const QUrl& target)
{
    if (!target.isLocalFile())
        return false;
    const QString suffix = QFileInfo(target.toLocalFile()).suffix().toLower();
    return suffix == QLatin1String("html") || suffix == QLatin1String("htm") ||
           suffix == QLatin1String("txt");
}

} // namespace

frmHelp* frmHelp::open(const AppContext& context, QWidget* parent)
{
    const QString path = joinPath(context.program().ProgramFolder, HelpFileName);
    if (const QString problem = showProblem(path); !problem.isEmpty()) {
        context.messenger().inform(parent, QStringLiteral("Cannot open \"%1\": %2.").arg(path, problem),
                                   DefaultTitle, MessageIcon::Exclamation);
        return nullptr;
    }
    return new frmHelp(context, path, parent);
}

frmHelp::frmHelp(const AppContext& context, const QString& helpFile, QWidget* parent)
    : QWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(DefaultTitle);
    m_text = new QTextBrowser(this);
    m_text->setObjectName(QStringLiteral("txtHelp"));
    // Every link comes through txtHelp_AnchorClicked, which decides where it opens.
    m_text->setOpenLinks(false);
    connect(m_text, &QTextBrowser::anchorClicked, this, &frmHelp::txtHelp_AnchorClicked);
    connect(m_text, &QTextBrowser::sourceChanged, this, [this] {
        const QString title = m_text->documentTitle();
        setWindowTitle(title.isEmpty() ? DefaultTitle : title);
    });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_text);
    m_text->setSource(QUrl::fromLocalFile(helpFile));
}

QSize frmHelp::sizeHint() const
{
    // About 90 characters of text and 34 lines.
    const QFontMetrics metrics = fontMetrics();
    return {metrics.averageCharWidth() * 90, metrics.lineSpacing() * 34};
}

void frmHelp::txtHelp_AnchorClicked(const QUrl& link)
{
    const QUrl target = m_text->source().resolved(link);
    if (isPage(target) && showProblem(target.toLocalFile()).isEmpty()) {
        m_text->setSource(target);
        return;
    }
    openOrTell(m_context.shell(), m_context.messenger(), this,
               target.isLocalFile() ? target.toLocalFile() : target.toString());
}

} // namespace tarvo
