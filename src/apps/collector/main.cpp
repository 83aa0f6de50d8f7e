// vorax-collector: the station's data collection without a window. It reads "VORAX.INI" in its
// working directory, stores every event of the panel in the shared full operating log, keeps the
// logs and runs the filters' program actions, and ends in order on SIGTERM or SIGINT.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/aplikace.h"
#include "app/operation.h"
#include "app/scheduler.h"
#include "app/station_logs.h"
#include "app/strings.h"
#include "operators/audit.h"
#include "platform/app_error.h"
#include "platform/messages.h"
#include "settings/inisoubor.h"
#include "text/charset.h"
#include "text/cz.h"

namespace {

// Messages go to standard error; under systemd that is the journal.
class CollectorMessages : public vrx::platform::Messages {
public:
    void show(std::string_view caption, std::string_view text, vrx::platform::Icon) override {
        std::string t = vrx::text::cp1250ToUtf8(text);
        for (auto& c : t) {
            if (c == '\n') c = ' ';
        }
        std::fprintf(stderr, "vorax-collector: %s: %s\n", vrx::text::cp1250ToUtf8(caption).c_str(), t.c_str());
    }
    bool ask(std::string_view caption, std::string_view text) override {
        show(caption, text, vrx::platform::Icon::Question);
        return false;
    }
    void beep() override {}
};

int usage() {
    std::fprintf(stderr,
                 "Použití: vorax-collector [--directory DIR]\n"
                 "Sbírá události ústředny podle souboru VORAX.INI v pracovním adresáři (nebo v DIR)\n"
                 "a zapisuje je do úplného provozního deníku. Končí signálem SIGTERM nebo SIGINT.\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--directory") == 0 && i + 1 < argc) {
            if (::chdir(argv[++i]) != 0) {
                std::perror("vorax-collector: chdir");
                return 2;
            }
        } else {
            return usage();
        }
    }
    std::setvbuf(stderr, nullptr, _IOLBF, 0);
    CollectorMessages messages;
    vrx::platform::setMessages(&messages);
    vrx::setSettingsFile("VORAX.INI");

    using namespace vrx::app;
    APLIKACE& app = aplikace();
    app.runMode = APLIKACE::readRunMode();
    if (app.runMode != RunMode::Collection) {
        std::fprintf(stderr, "vorax-collector: režim PROHLÍŽEČ v VORAX.INI - sběr dat se nespouští\n");
        return 2;
    }
    try {
        app.initialize();
    } catch (const vrx::AppError& e) {
        vrx::platform::error(stringTable(e.message));
        return 1;
    }
    if (!app.runConditionsHold()) {
        vrx::platform::error("Nejsou splněny podmínky pro běh programu"_cz);
        return 1;
    }
    // The filters and both logs, once the directories are known to hold their tables; of the
    // filters' actions only program start has a meaning without a window.
    vrx::logs::HeadlessAlarmActions actions;
    StationLogs logs(&actions);
    if (!logs.logsValid()) {
        vrx::platform::error("Nelze aktivovat správce filtrů."_cz);
        return 1;
    }

    Operation* operation = nullptr;
    Scheduler scheduler([&](int id) {
        if (operation) operation->onTimer(id);
    });
    Operation op(app, scheduler);
    op.setLogs(&logs);
    operation = &op;
    if (!op.start()) {
        vrx::platform::error(stringTable(8));
        return 1;
    }
    std::fprintf(stderr, "vorax-collector: sběr dat běží (%s), další záznam %ld\n",
                 vrx::text::cp1250ToUtf8(app.panels.chosenName()).c_str(), op.nextRecordNumber());
    scheduler.run(true);

    // The orderly end: what the port still holds is taken in, then the tables are closed. Events
    // the table did not take by then are reported, not dropped silently.
    for (int i = 0; i < 1000 && op.intake(true) > 0; ++i) {
    }
    if (op.waitingEvents() > 0) {
        std::fprintf(stderr, "vorax-collector: %zu událostí nebylo možné zapsat do úplného provozního deníku\n",
                     op.waitingEvents());
    }
    op.stop();
    app.releasePanel();
    std::fprintf(stderr, "vorax-collector: konec\n");
    return 0;
}
