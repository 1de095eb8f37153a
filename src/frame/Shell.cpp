#include "Shell.h"

#include "WindowRegistry.h"

#include <QDesktopServices>
#include <QUrl>

namespace Shell {

void Execute(const QString& operation, const QString& file)
{
    if (const auto& receiver = WindowRegistry::instance().shellReceiver()) {
        receiver(operation, file);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromUserInput(file));
}

void setReceiver(Receiver receiver)
{
    WindowRegistry::instance().setShellReceiver(std::move(receiver));
}

} // namespace Shell
