#pragma once

#include <QString>
#include <functional>

// Hands a text to the desktop: "mailto:" and an address opens the mail program, a web address
// (with or without its scheme) the browser. Failures are the desktop's to show.
namespace Shell {

void Execute(const QString& operation, const QString& file);

} // namespace Shell
