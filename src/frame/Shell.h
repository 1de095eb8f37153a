#pragma once

#include <QString>
#include <functional>

// Hands a text to the desktop: "mailto:" and an address opens the mail program, a web address
// (with or without its scheme) the browser. Failures are the desktop's to show.
namespace Shell {

void Execute(const QString& operation, const QString& file);

// Receives what would go to the desktop (tests look at it). Empty restores the desktop.
using Receiver = std::function<void(const QString& operation, const QString& file)>;
void setReceiver(Receiver receiver);

} // namespace Shell
