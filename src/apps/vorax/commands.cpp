#include "commands.h"

#include "gui/frame/hlavniokno.h"
#include "gui/operators/operator_commands.h"
#include "gui/settings/settings_commands.h"
#include "gui/stations/stations_dialog.h"

namespace vrx::gui {
namespace {

struct DialogCommand {
    int number;
    void (*run)(QWidget* parent, app::StationServices& services);
};

// Each function checks what its command needs, opens the dialog and does what follows it.
constexpr DialogCommand kDialogCommands[] = {
    {20101, runLoginCommand},        {20102, runLogoutCommand},        {20103, runPasswordCommand},
    {20104, runOperatorsCommand},    {20105, runExitCommand},          {20125, runHwBufferReadCommand},
    {20126, runHwBufferEraseCommand}, {20130, runSerialPortCommand},   {20131, runPanelTypeCommand},
    {20132, runRunModeCommand},      {20144, runStationsCommand},
};

}  // namespace

void installDialogCommands(HLAVNIOKNO& window) {
    for (const auto& c : kDialogCommands) {
        window.setDialog(c.number, [run = c.run](HLAVNIOKNO& w) { run(&w, w); });
    }
    window.setMinimizePrompt([&window] { return runMinimizePrompt(&window, window); });
}

}  // namespace vrx::gui
