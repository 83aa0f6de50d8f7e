#pragma once
// The dialogs of the operators, stations and collection settings behind the main window's commands.
namespace vrx::gui {
class HLAVNIOKNO;

void installDialogCommands(HLAVNIOKNO& window);

}  // namespace vrx::gui
