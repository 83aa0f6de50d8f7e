#pragma once
// The main window's commands of the collection settings: one function per command, each checking
// what the command needs and opening its dialog.
class QWidget;

namespace vrx {
class CONNECTED_LINE_READER;
}
namespace vrx::app {
class StationServices;
}

namespace vrx::gui {

// 20125 "Čtení" of the hardware buffer and 20126 "Mazání": refused in viewing mode, without a
// decoder, when the decoder does not read through a hardware buffer, and while continuous reading
// is on (each with its message).
void runHwBufferReadCommand(QWidget* parent, app::StationServices& services);
void runHwBufferEraseCommand(QWidget* parent, app::StationServices& services);
// 20130 "Sériový port": refused in viewing mode and without a decoder ("Není zvolen typ ústředny.").
void runSerialPortCommand(QWidget* parent, app::StationServices& services);
// 20131 "Ústředna": refused in viewing mode.
void runPanelTypeCommand(QWidget* parent, app::StationServices& services);
// 20132 "Režim programu".
void runRunModeCommand(QWidget* parent, app::StationServices& services);

// The hardware buffer reader the commands 20125 and 20126 work with, after their checks; nullptr
// (the refusal shown) when the command cannot run.
CONNECTED_LINE_READER* hwBufferReaderForCommand(app::StationServices& services);

}  // namespace vrx::gui
