#include "assign/AssignmentMessages.h"

#include "core/WidgetParts.h"

namespace tarvo {

void showFailure(Messenger& messenger, QWidget* window, const QString& error)
{
    messenger.inform(window, error, MessageTitle::ErrorBang3, MessageIcon::Critical);
}

QString vanishedMessage(const QString& what, const QString& name)
{
    return QStringLiteral("The %1 \"%2\" is no longer in the Tarvo database. The list has been read again.")
        .arg(what, name);
}

QString missingChoiceMessage(bool typed, const QString& labelCaption)
{
    return (typed ? QStringLiteral("Please enter ") : QStringLiteral("Please select ")) + labelCaption +
           QStringLiteral(" ...");
}

} // namespace tarvo
