#include "Shell.h"

#include "WindowRegistry.h"

#include <QDesktopServices>
#include <QUrl>

namespace Shell {

void Execute(const QString& operation, const QString& file)
{
    if (const auto& receiver = WindowRegistry::instance().answers().shell) {
        receiver(operation, file);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromUserInput(file));
}

} // namespace Shell
