#pragma once

#include "core/DbResult.h"

#include <QString>

namespace tarvo {

// Builds the database delivered with the program at a path where no file exists yet: every table, the
// first account (user ID "admin", password "admin", group "Sistem", name "Administrator"), the sample
// area "Headquarters" (segmented, code "HQ", first octet 10) with its city "IT Division" ("ITD", second
// octet 100), and the equipment type "PC" ("PC", 71 to 240). An existing file is never touched; a
// failed build leaves no file behind.
DbOutcome createDeliveredDatabase(const QString& path);

// The text of the INI file delivered with the program: every section and key, with the defaults.
QString deliveredIniText();

} // namespace tarvo
