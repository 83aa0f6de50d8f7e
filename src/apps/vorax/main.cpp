// vorax: the station at the operator's workplace. It reads "VORAX.INI" in its working directory
// (or in the directory given with --directory), shows the operating logs, collects the panel's
// events or follows a collecting station, and ends in order on "Konec", on the end of the desktop
// session, and on SIGTERM or SIGINT.
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/aplikace.h"
#include "commands.h"
#include "app/strings.h"
#include "gui/alarms/alarms.h"
#include "gui/frame/hlavniokno.h"
#include "gui/frame/log_windows.h"
#include "gui/frame/qt_messages.h"
#include "gui/frame/qtext.h"
#include "gui/frame/station.h"
#include "operators/audit.h"
#include "platform/app_error.h"
#include "platform/messages.h"
#include "settings/inisoubor.h"
#include "text/charset.h"
#include "text/cz.h"

namespace {

int g_signalPipe[2] = {-1, -1};

void onSignal(int sig) {
    const char c = static_cast<char>(sig);
    [[maybe_unused]] ssize_t n = ::write(g_signalPipe[0], &c, 1);
}

int usage() {
    std::fprintf(
        stderr,
        "Použití: vorax [--directory DIR]\n"
        "Stanice záznamu událostí ústředen podle souboru VORAX.INI v pracovním adresáři (nebo v DIR).\n");
    return 2;
}

void say(const std::string& cp1250) {
    std::fprintf(stderr, "vorax: %s\n", vrx::text::cp1250ToUtf8(cp1250).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    const QStringList args = QApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--directory") && i + 1 < args.size()) {
            if (::chdir(args[++i].toLocal8Bit().constData()) != 0) {
                std::perror("vorax: chdir");
                return 2;
            }
        } else {
            return usage();
        }
    }
    std::setvbuf(stderr, nullptr, _IOLBF, 0);

    using namespace vrx;
    using namespace vrx::gui;
    vrx::gui::QtMessages messages;
    platform::setMessages(&messages);
    setSettingsFile("VORAX.INI");
    setCurrentOperatorSource([] { return app::aplikace().operatorName; });
    app::APLIKACE& application = app::aplikace();

    // The database engine (SQLite) needs no initialisation. The filter manager and the logs: when
    // their tables cannot be opened yet (directories not set) they are made again at "Start".
    Station station;

    application.runMode = app::APLIKACE::readRunMode();
    QtSoundPlayer sound;
    std::unique_ptr<HLAVNIOKNO> window;
    try {
        window = std::make_unique<HLAVNIOKNO>(application, station, sound);
    } catch (const AppError& e) {
        platform::error(app::stringTable(e.message));
        platform::error("Nelze aktivovat hlavní okno programu."_cz);
        return 1;
    }
    installDialogCommands(*window);
    window->showMaximized();
    window->createWorkplace();
    window->createProgramButtons();
    window->showSplash();
    QApplication::processEvents();

    try {
        application.initialize();
    } catch (const AppError& e) {
        platform::error(app::stringTable(e.message));
    }
    if (application.runConditionsHold() && window->startOperation()) {
        say(std::string("provoz běží, režim "_cz) + app::APLIKACE::runModeName(application.runMode));
    } else {
        say("provoz neběží (nejsou splněny podmínky pro běh programu)"_cz);
    }
    // Online printing plugs in here: window->operation().setPrinter(...).
    window->removeSplash();

    // SIGTERM and SIGINT end the program in order, as the desktop session's end does.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) == 0) {
        struct sigaction sa {};
        sa.sa_handler = onSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        ::sigaction(SIGTERM, &sa, nullptr);
        ::sigaction(SIGINT, &sa, nullptr);
    }
    QSocketNotifier notifier(g_signalPipe[1], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, [&] {
        char c = 0;
        [[maybe_unused]] ssize_t n = ::read(g_signalPipe[1], &c, 1);
        say(c == SIGINT ? "SIGINT" : "SIGTERM");
        window->endProgram();
    });
    QObject::connect(&qapp, &QGuiApplication::commitDataRequest,
                     [&](QSessionManager&) { window->endProgram(); });
    qapp.setQuitOnLastWindowClosed(false);

    const int code = QApplication::exec();

    // The end, in order: the panel (which closes the port), the log windows, the main window with
    // its workplace, then the logs and the filter manager.
    window->stopOperation();
    application.releasePanel();
    window->logWindows().closeAll();
    window.reset();
    station.releaseLogs();
    platform::setMessages(nullptr);
    say("konec");
    return code;
}
