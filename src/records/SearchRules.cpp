#include "records/SearchRules.h"

namespace tarvo {

namespace {

bool listsAllTemporary(TextKind kind, MatchOption option, const QString& text)
{
    return kind == TextKind::IpAddress && option == MatchOption::Temporary && text == TemporaryAll;
}

QString notFound(const QString& what)
{
    return QStringLiteral("There're no record with ") + what + QStringLiteral(" in Tarvo database.");
}

} // namespace

TextKindCaptions captionsOf(TextKind kind)
{
    const auto captions = [](const QString& name) {
        return TextKindCaptions{QStringLiteral("Search For ") + name + QStringLiteral(" :"),
                                name + QStringLiteral(" : "),
                                QStringLiteral("Please enter ") + name + QStringLiteral(" ...")};
    };
    switch (kind) {
    case TextKind::IpAddress:
        return captions(QStringLiteral("IP Address"));
    case TextKind::StaffNo:
        return captions(QStringLiteral("Staff No"));
    case TextKind::Hostname:
        return captions(QStringLiteral("Hostname"));
    case TextKind::Remarks:
        return captions(QStringLiteral("Remarks"));
    case TextKind::Username:
        return captions(QStringLiteral("Username"));
    }
    return {};
}

RecordSearch textSearch(TextKind kind, MatchOption option, const QString& text)
{
    using Kind = RecordSearch::Kind;
    switch (kind) {
    case TextKind::IpAddress:
        if (option == MatchOption::BeginWith)
            return RecordSearch::of(Kind::AddressBegins, text);
        if (option == MatchOption::Temporary)
            return listsAllTemporary(kind, option, text) ? RecordSearch::of(Kind::Temporary)
                                                         : RecordSearch::of(Kind::TemporaryBegins, text);
        return RecordSearch::of(Kind::Address, text);
    case TextKind::StaffNo:
        return RecordSearch::of(Kind::StaffNo, text);
    case TextKind::Hostname:
        return RecordSearch::of(Kind::HostName, text);
    case TextKind::Remarks:
        return RecordSearch::of(Kind::RemarksContains, text);
    case TextKind::Username:
        return RecordSearch::of(Kind::UsernameContains, text);
    }
    return {};
}

bool isUnderMinimumLength(TextKind kind, const QString& text)
{
    return (kind == TextKind::Remarks || kind == TextKind::Username) && text.size() < 3;
}

QString minimumLengthMessage(const QString& text)
{
    return QStringLiteral("The search term you specified (") + text +
           QStringLiteral(") is under the minimum word length (3) and therefore will not be found.\n"
                          "Please make this term longer.");
}

QString notFoundMessage(TextKind kind, MatchOption option, const QString& text)
{
    if (listsAllTemporary(kind, option, text))
        return QStringLiteral("There're no record with TEMPORARY status in Tarvo database.");
    switch (kind) {
    case TextKind::IpAddress:
        if (option == MatchOption::Temporary)
            return notFound(QStringLiteral("TEMPORARY status for IP Address ") + text);
        return notFound(QStringLiteral("IP Address ") + text);
    case TextKind::StaffNo:
        return notFound(QStringLiteral("Staff No. ") + text);
    case TextKind::Hostname:
        return notFound(QStringLiteral("Hostname ") + text);
    case TextKind::Remarks:
        return notFound(QStringLiteral("Remarks ") + text);
    case TextKind::Username:
        return notFound(QStringLiteral("Username ") + text);
    }
    return {};
}

QString resultNote(qint64 count)
{
    return QString::number(count) +
           QStringLiteral(" record(s) found. Double Click on item to get detail info OR select and use "
                          "delete key to delete items.");
}

} // namespace tarvo
