#pragma once

#include <QString>

class QWidget;

namespace tarvo {

class AppContext;

// A size in bytes as the compaction report shows it: "512 bytes", "1.50 KB", "1.00 MB", "1.00 GB".
QString formatByteCount(qint64 bytes);

// The size of the file at path, as formatByteCount gives it.
QString FormatFileSize(const QString& path);

// Compacts the live database (VACUUM through the database service) and reports the sizes before and
// after. A database another connection holds, or a window of this program that is busy or keeps an
// unsaved edit, is reported as in use (nothing is asked, every window keeps what it holds), any other
// failure as what happened; the database stays as it was. True when it was compacted.
bool CompressDatabase(const AppContext& context, QWidget* parent);

// The main window's "Compact Database" command: asks first, compacts on Yes.
void mnuCompactDB_Click(const AppContext& context, QWidget* parent);

} // namespace tarvo
