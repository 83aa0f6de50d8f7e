#pragma once
// The main window's commands of the operators: one function per command, each opening its dialog
// and doing what the command does around it. Failures that stop a command are raised as AppError
// with the number of a string-table message, for the dispatcher to show.
class QWidget;

namespace vrx::app {
class StationServices;
}

namespace vrx::gui {

// 20101 "Přihlášení": the login dialog; afterwards, with an operator logged in and operation
// running, the alarm picture slots are placed and the full operating log window is opened (and a
// pause ended) when the operator's right 20127 is "Ano", else closed.
void runLoginCommand(QWidget* parent, app::StationServices& services);
// 20102 "Odhlášení": only a beep with nobody logged in; otherwise the logout dialog, and after a
// logout the extract, audit and archive windows close and the pause goes on. Raises AppError{5}
// when the operator table cannot be opened.
void runLogoutCommand(QWidget* parent, app::StationServices& services);
// 20103 "Změna hesla". Raises AppError{5} when the operator table cannot be opened.
void runPasswordCommand(QWidget* parent, app::StationServices& services);
// 20104 "Operátoři". Raises AppError{5} when the operator table cannot be opened.
void runOperatorsCommand(QWidget* parent, app::StationServices& services);
// 20105 "Konec" (also closing the main window): with nobody logged in the program ends at once;
// otherwise through the exit dialog. The end itself is StationServices::endProgram.
void runExitCommand(QWidget* parent, app::StationServices& services);
// The password prompt before minimizing; true when the main window may minimize.
bool runMinimizePrompt(QWidget* parent, app::StationServices& services);

}  // namespace vrx::gui
