#pragma once

#include <QString>
#include <functional>

// A message box by style number, answered by number, as the program's questions are written:
// style = buttons (3 Yes/No/Cancel, 5 Retry/Cancel) + icon (16 critical, 32 question).
namespace MsgBox {

inline constexpr int YesNoCancel = 3;
inline constexpr int RetryCancel = 5;
inline constexpr int Critical = 16;
inline constexpr int Question = 32;
inline constexpr int OkOnly = 0;

inline constexpr int Ok = 1;
inline constexpr int Cancel = 2;
inline constexpr int Retry = 4;
inline constexpr int Yes = 6;
inline constexpr int No = 7;

// Shows the box and returns the answer; closing it without a choice answers Cancel.
int Show(const QString& prompt, int style, const QString& title);

// A short beep.
void Beep();

} // namespace MsgBox
