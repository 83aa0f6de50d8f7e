#pragma once
// The service tool's command line: "Dedado init|index|show ...".
namespace vrx::dedado {

// Runs a command; returns the process exit code, or −1 when the arguments name no command (the
// windowed tool then starts, where it exists).
int runCommandLine(int argc, char** argv);

}  // namespace vrx::dedado
