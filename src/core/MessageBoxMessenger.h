#pragma once

#include "core/Messenger.h"

namespace tarvo {

// Shows messages in modal QMessageBox windows.
class MessageBoxMessenger final : public Messenger
{
public:
    MessageAnswer ask(QWidget* parent, const Message& message) override;
};

} // namespace tarvo
