#pragma once

#include <QtGlobal>

namespace tarvo {

// The row of table UserID that the signed-in user signed in with. Names may repeat and may be changed
// after the sign-in, so the user-accounts window knows the user's own row by this rowid as well as by
// the name in the Session. Written by each successful sign-in.
struct SignedInAccount
{
    qint64 rowId = 0;
};

} // namespace tarvo
