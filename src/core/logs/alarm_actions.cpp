#include "logs/alarm_actions.h"

#include "platform/program_start.h"

namespace vrx::logs {

void HeadlessAlarmActions::startProgram(const std::string& program, const std::string& parameters,
                                        std::string_view text) {
    // A program that cannot be started is not reported.
    platform::startProgram(program, parameters, text);
}

}  // namespace vrx::logs
