#include "app/commands.h"

#include <array>

#include "app/strings.h"
#include "devices/ustrlist.h"
#include "text/cz.h"

namespace vrx::app {
namespace {

constexpr unsigned kView = kRefusedInViewing;
constexpr unsigned kRun = kNeedsRunConditions;
constexpr unsigned kPause = kIgnoredWhilePaused;

using enum MenuGroup;

// The run-conditions texts: the filter commands carry their text without diacritics.
const char* const kRunPlain = "Nejsou splneny podmínky pro beh programu"_cz;
const char* const kRunFull = "Nejsou splněny podmínky pro běh programu"_cz;

const std::array<CommandInfo, kLastMenuCommand - kFirstCommand + 1> kCommands = {{
    {20101, "&Přihlášení ... \bF2"_cz, 2, System, 0, nullptr},
    {20102, "&Odhlášení ... \bF3"_cz, 3, System, 0, nullptr},
    {20103, "&Změna hesla ..."_cz, 0, System, 0, nullptr},
    {20104, "O&perátoři ..."_cz, 0, System, 0, nullptr},
    {20105, "&Konec ..."_cz, 0, System, 0, nullptr},
    {20106, "&Uživatelé karet ..."_cz, 0, Tables, 0, nullptr},
    {20107, "Č&tečky ..."_cz, 0, Tables, 0, nullptr},
    {20108, "&Přítomnost ..."_cz, 0, Tables, 0, nullptr},
    // F8 is in the accelerator table although the item shows no key.
    {20109, "&Export ..."_cz, 8, Tables, kView, nullptr},
    {20110, "&Nastavení exportu ..."_cz, 0, Tables, kView, nullptr},
    {20111, "&Databáze filtrů ..."_cz, 0, Tables, kRun, kRunPlain},
    {20112, "&Filtry aplikovat na ÚPD ..."_cz, 0, Tables, kRun, kRunPlain},
    {20113, "Filtry aplikovat na &EPD ..."_cz, 0, Tables, kRun, kRunPlain},
    {20114, "&Archiv ÚPD ..."_cz, 0, Logs, kPause, nullptr},
    {20115, "Archív a&uditu ..."_cz, 0, Logs, kPause, nullptr},
    {20116, "&Najdi ... \b F6"_cz, 6, Logs, 0, nullptr},
    {20117, "&Záloha úplného provoz. deníku ... \bF9"_cz, 9, Backup, kView, nullptr},
    {20118, "&Vyprázdnění úplného provoz. deníku ..."_cz, 0, Logs, kRun, kRunFull},
    {20119, "Záloha &sdílených tabulek ..."_cz, 0, Backup, kView, nullptr},
    {20120, "Záloha &privátních tabulek ..."_cz, 0, Backup, 0, nullptr},
    {20121, "Záloha &auditu ..."_cz, 0, Backup, kView, nullptr},
    {20122, "Tisk &deníků ..."_cz, 0, Print, kPause, nullptr},
    {20123, "Tisk &tabulek ..."_cz, 0, Print, kPause, nullptr},
    {20124, "&Nastavení tisku ..."_cz, 0, Print, 0, nullptr},
    {20125, "Č&tení ..."_cz, 0, HwBuffer, kView, nullptr},
    {20126, "&Mazání ..."_cz, 0, HwBuffer, kView, nullptr},
    {20127, "Úplný provozní &deník ..."_cz, 0, Logs, kPause, nullptr},
    {20128, "&Extrakt provozního deníku ... \bF4"_cz, 4, Logs, kPause, nullptr},
    {20129, "&Audit ... \b F5"_cz, 5, Logs, kPause, nullptr},
    {20130, "Sériový &port ..."_cz, 0, Settings, 0, nullptr},
    {20131, "Ú&středna ..."_cz, 0, Settings, 0, nullptr},
    {20132, "&Režim programu ..."_cz, 0, Settings, 0, nullptr},
    {20133, "Adresář sdílených tabulek ..."_cz, 0, Settings, 0, nullptr},
    {20134, "Adresář privátních tabulek ..."_cz, 0, Settings, 0, nullptr},
    {20135, "Adresář zálohy ÚPD ..."_cz, 0, Settings, kView, nullptr},
    {20136, "Adresář zálohy sdílených tabulek ..."_cz, 0, Settings, kView, nullptr},
    {20137, "Adresář zálohy privátních tabulek ..."_cz, 0, Settings, 0, nullptr},
    {20138, "Adresář zálohy auditu ..."_cz, 0, Settings, kView, nullptr},
    {20139, "Adresář zvuků a obrázků ..."_cz, 0, Settings, 0, nullptr},
    {20140, "Vložené programy ..."_cz, 0, Settings, 0, nullptr},
    {20141, "&Zobrazení &alarmů"_cz, 0, Alarms, 0, nullptr},
    {20142, "&Umlčení zvukové signalizace"_cz, 0, Alarms, 0, nullptr},
    {20143, "&Pauza \bF7"_cz, 7, Logs, 0, nullptr},
    {20144, "Připojené s&tanice ..."_cz, 0, System, kView, nullptr},
    {20145, "&Start"_cz, 0, System, 0, nullptr},
    {20146, "&O aplikaci ..."_cz, 0, Help, 0, nullptr},
    {20147, "&Příručka ... \b F1"_cz, 1, Help, 0, nullptr},
}};

const std::array<MenuInfo, 9> kMenus = {{
    {System, "&Systém"_cz},
    {Tables, "&Tabulky"_cz},
    {Logs, "&Deníky"_cz},
    {Backup, "&Zálohy"_cz},
    {Print, "T&isk"_cz},
    {HwBuffer, "&HW buffer"_cz},
    {Settings, "&Nastavení"_cz},
    {Alarms, "&Alarmy"_cz},
    {Help, "Nápo&věda"_cz},
}};

constexpr int kSystemItems[] = {20101, 20102, 20103, 0, 20104, 20144, 0, 20145, 0, 20105};
constexpr int kTablesItems[] = {20106, 20107, 20108, 0, 20109, 20110, 0, 20111, 20112, 20113};
constexpr int kLogsItems[] = {20127, 20128, 20129, 0, 20114, 20115, 0, 20116, 20118, 0, 20143};
constexpr int kBackupItems[] = {20117, 20119, 20120, 20121};
constexpr int kPrintItems[] = {20122, 20123, 0, 20124};
constexpr int kHwBufferItems[] = {20125, 20126};
constexpr int kSettingsItems[] = {20130, 20131, 20132, 0,     20133, 20134, 0,
                                  20135, 20136, 20137, 20138, 0,     20139, 20140};
constexpr int kAlarmsItems[] = {20141, 20142};
constexpr int kHelpItems[] = {20147, 0, 20146};

Refusal message(const char* caption, const char* text, platform::Icon icon) {
    return Refusal{Refusal::Message, caption, text, icon};
}

// Panel families whose card users and readers the attendance tables describe.
bool attendancePanel(int type) {
    return type == kPanelGalaxy || type == kPanelPc4020V30 || type == kPanelPc4020V33 || type == kPanelPc6010;
}

}  // namespace

std::span<const MenuInfo> menus() {
    return kMenus;
}

std::span<const int> menuItems(MenuGroup group) {
    switch (group) {
        case System:
            return kSystemItems;
        case Tables:
            return kTablesItems;
        case Logs:
            return kLogsItems;
        case Backup:
            return kBackupItems;
        case Print:
            return kPrintItems;
        case HwBuffer:
            return kHwBufferItems;
        case Settings:
            return kSettingsItems;
        case Alarms:
            return kAlarmsItems;
        case Help:
            return kHelpItems;
    }
    return {};
}

std::span<const CommandInfo> menuCommands() {
    return kCommands;
}

const CommandInfo* commandInfo(int number) {
    if (number < kFirstCommand || number > kLastMenuCommand) return nullptr;
    return &kCommands[static_cast<size_t>(number - kFirstCommand)];
}

int commandForKey(int functionKey) {
    if (functionKey < 1 || functionKey > 9) return 0;
    for (const auto& c : kCommands) {
        if (c.key == functionKey) return c.number;
    }
    return 0;
}

std::string menuLabel(const CommandInfo& c) {
    std::string s(c.menuText);
    const size_t b = s.find('\b');
    if (b == std::string::npos) return s;
    s.resize(b);
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

std::string commandHint(int number) {
    return std::string(stringTable(number)).substr(0, 99);
}

std::string commandTooltip(int number) {
    return std::string(stringTable(number)).substr(0, 63);
}

Refusal checkCommand(int number, const CommandState& s) {
    const CommandInfo* c = commandInfo(number);
    if (!c) return {};
    if ((c->flags & kIgnoredWhilePaused) && s.paused) return Refusal{Refusal::Ignore};
    if ((c->flags & kRefusedInViewing) && s.mode == RunMode::Viewing) {
        return message("Informace", "Funkce není k dispozici\nv režimu prohlížeč"_cz,
                       platform::Icon::Warning);
    }
    if ((c->flags & kNeedsRunConditions) && !s.runConditions) {
        return message("Chyba", c->runConditionsText, platform::Icon::Warning);
    }
    const auto empty = [&] { return s.historyEmpty && s.historyEmpty(); };
    switch (number) {
        case 20102:
            if (!s.loggedIn) return Refusal{Refusal::Beep};
            break;
        case 20106:
        case 20107:
            if (!attendancePanel(s.panelType)) return Refusal{Refusal::Beep};
            break;
        case 20109:
            if (empty())
                return message("Informace", "Tabulka historie je prázdná"_cz, platform::Icon::Warning);
            if (s.onlineExporter) {
                return message("Informace",
                               "Nelze provádět dávkový export pokud probíhá online export.\n"
                               "Zastavte nejdříve online export."_cz,
                               platform::Icon::Warning);
            }
            break;
        case 20118:
            if (empty()) {
                return message("Informace", "Úplný provozní deník je prázdný"_cz,
                               platform::Icon::Information);
            }
            break;
        case 20125:
        case 20126:
            if (!s.hasDecoder) {
                return message("Informace",
                               "Není nastavena ústředna. Nastavení se provádí v menu Nastavení/Ústředna"_cz,
                               platform::Icon::Warning);
            }
            if (!s.hardwareBufferReader) {
                return message(
                    "Informace",
                    "Není nastaven HW-buffer. Nastavení se provádí v menu Nastavení/Sériový port"_cz,
                    platform::Icon::Warning);
            }
            if (s.continuousReading) {
                return message("Informace",
                               "Vypněte průběžné čtení HW-bufferu v menu Nastavení/Sériový port"_cz,
                               platform::Icon::Warning);
            }
            break;
        case 20127:
            if (!s.fullLogWindowOpen) {
                return message("Chyba", "Nejsou splněny podmínky pro běh programu."_cz,
                               platform::Icon::Warning);
            }
            break;
        default:
            break;
    }
    return {};
}

void presentRefusal(const Refusal& r) {
    if (r.kind == Refusal::Beep || r.kind == Refusal::Message) platform::messages().beep();
    if (r.kind == Refusal::Message) platform::messages().show(r.caption, r.text, r.icon);
}

}  // namespace vrx::app
