// Processor time the headless collector uses while the panel is quiet: it polls the port every
// 200 ms and must stay near zero. Runs the real program on a pseudo-terminal for N seconds
// (default 60) and prints the CPU seconds it used, read from /proc.
//
//   collector_idle_bench [seconds]
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "panelsim.h"
#include "service/initialization.h"
#include "settings/inisoubor.h"

extern char** environ;
using namespace vrx;

namespace {

// utime + stime of a process in clock ticks.
long long cpuTicks(pid_t pid) {
    std::ifstream f("/proc/" + std::to_string(pid) + "/stat");
    std::string all((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    size_t close = all.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream rest(all.substr(close + 2));
    std::string field;
    long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && rest >> field; ++i) {
        if (i == 14) utime = std::atoll(field.c_str());
        if (i == 15) stime = std::atoll(field.c_str());
    }
    return utime + stime;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    namespace fs = std::filesystem;
    std::string dir = (fs::temp_directory_path() / ("vrx-idle-" + std::to_string(::getpid()))).string();
    for (const char* sub : {"spol", "priv", "media"}) fs::create_directories(dir + "/" + sub);
    setSettingsPath(dir + "/VORAX.INI");
    const INISOUBOR& ini = settings();
    ini.writeString("ADRESARE", "SpolTabulky", dir + "/spol");
    ini.writeString("ADRESARE", "PrivTabulky", dir + "/priv");
    ini.writeString("ADRESARE", "Multimedia", dir + "/media");
    service::initializeTables({service::InitTable::Kody, service::InitTable::Filtry, service::InitTable::Histor,
                               service::InitTable::Audit},
                              nullptr);
    panelsim::PseudoTerminal pty;
    if (!pty.open()) return 1;
    ini.writeString("PORT", "Jmeno", pty.slavePath());
    ini.writeNumber("PORT", "Rychlost", 9600);
    ini.writeNumber("PORT", "DataBity", 8);
    ini.writeNumber("PORT", "Online", 1);
    ini.writeNumber("USTREDNA", "Ustredna", 8);

    std::string exe = VRX_COLLECTOR;
    std::vector<std::string> args = {exe, "--directory", dir};
    std::vector<char*> cargv;
    for (auto& a : args) cargv.push_back(a.data());
    cargv.push_back(nullptr);
    pid_t pid;
    if (posix_spawn(&pid, exe.c_str(), nullptr, nullptr, cargv.data(), environ) != 0) return 1;
    std::this_thread::sleep_for(std::chrono::seconds(2));  // start-up is not idle time
    long long before = cpuTicks(pid);
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    long long after = cpuTicks(pid);
    kill(pid, SIGTERM);
    int status;
    waitpid(pid, &status, 0);
    const double tick = static_cast<double>(sysconf(_SC_CLK_TCK));
    const double cpu = (after - before) / tick;
    std::printf("idle collector over %d s: %.3f s CPU (%.4f %% of one core), %d polls\n", seconds, cpu,
                100.0 * cpu / seconds, seconds * 5);
    std::error_code ec;
    fs::remove_all(dir, ec);
    return 0;
}
