#pragma once

#include "assign/RecordSearch.h"

#include <QString>

namespace tarvo {

// The rules of the search window's text searches, without widgets: which search a kind and a match
// option run, the minimum length, and the texts the window shows.

// The five text kinds of the search window (the sixth kind, Location, has no search text).
enum class TextKind
{
    IpAddress, // Option1
    StaffNo,   // Option2
    Hostname,  // Option4
    Remarks,   // Option5
    Username,  // Option6
};

// The match options of the IP-address kind ("Exact Search", "Begin with", "Temporary IP"); the other
// kinds search with their own rule.
enum class MatchOption
{
    None,
    Exact,
    BeginWith,
    Temporary,
};

// The captions a text kind puts on the window.
struct TextKindCaptions
{
    QString frame;  // frameIPAddress
    QString label;  // lblCarian
    QString prompt; // lblNota
};
TextKindCaptions captionsOf(TextKind kind);

// The search a text kind runs for a text. An IP-address search with no option chosen is an exact
// search. "Temporary IP" with the text "ALL" (exactly so, letter case counting) lists every temporary
// record.
RecordSearch textSearch(TextKind kind, MatchOption option, const QString& text);

// User names and remarks are searched for with at least three characters.
bool isUnderMinimumLength(TextKind kind, const QString& text);
QString minimumLengthMessage(const QString& text);

// The message of a text search that found nothing.
QString notFoundMessage(TextKind kind, MatchOption option, const QString& text);

// The note under a grid of results.
QString resultNote(qint64 count);

inline const QString TemporaryAll = QStringLiteral("ALL");

namespace SearchText {
inline const QString EmptySearch = QStringLiteral("Please enter data ... ");
inline const QString LocationNotFound = QStringLiteral("Record not found ...");
inline const QString EmptySegment = QStringLiteral("Please enter Segment ... ");
inline const QString SegmentTitle = QStringLiteral("Segment ?");
inline const QString BadSegment = QStringLiteral("The segment must be a number from 0 to 255.");
inline const QString GridTip = QStringLiteral("Double Click to get detail info ...");
inline const QString DeleteQuestion =
    QStringLiteral("Are you sure you want to deleted the selected %1 record(s)?");
} // namespace SearchText

} // namespace tarvo
