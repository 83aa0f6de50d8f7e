#pragma once
// Start of external programs (a filter's program, the toolbar's program buttons) without a shell.
//
// The command line is the program, a space and the parameters, as the program's settings and
// filters hold them. It is split into arguments here and the program is started directly, so no
// text of a panel event is ever read as a command: an event "; rm -rf ~" reaches the program as
// text. Splitting: arguments are separated by blanks (spaces, tabs); double quotes group words
// into one argument and are removed ("" is an empty argument); nothing else is special, backslashes
// included. Every "$$$" in the parameters stands for the event text, which is put into its argument
// as it stands: its blanks and quotes do not split it.
//
// The line is limited to 2047 characters: a "$$$" whose text would make the line longer stays as
// it is written, like every later one, and the line is cut at 2047 characters.
//
// The arguments are Windows-1250 text; the program receives them in UTF-8. The program is found
// on the PATH when its name holds no '/'. It is not waited for; the finished child is reaped, so
// no zombie processes remain.
#include <sys/types.h>
#include <string>
#include <string_view>
#include <vector>

namespace vrx::platform {

constexpr size_t kMaxCommandLine = 2047;

// Arguments of program + " " + parameters, every "$$$" of the parameters replaced by `text`.
std::vector<std::string> programArguments(std::string_view program, std::string_view parameters,
                                          std::string_view text);
// Arguments of program + " " + parameters without any replacement (the toolbar's buttons).
std::vector<std::string> commandArguments(std::string_view program, std::string_view parameters);

// Starts args[0] with args (Windows-1250, converted to UTF-8) and does not wait. The process id,
// or -1 when there are no arguments or the program cannot be started.
pid_t startDetached(const std::vector<std::string>& args);

// A filter's program with the event text: true when a program was started; an empty program
// starts nothing.
bool startProgram(std::string_view program, std::string_view parameters, std::string_view text);

}  // namespace vrx::platform
