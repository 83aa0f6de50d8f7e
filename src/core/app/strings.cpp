#include "app/strings.h"

#include "text/cz.h"

namespace vrx::app {

const char* stringTable(int number) {
    switch (number) {
        case 1: return "Nelze vytvořit handle databáze"_cz;
        case 2: return "Nelze otevřít databázi"_cz;
        case 3: return "Adresář, obsahující tabulky, nebyl nalezen"_cz;
        case 4: return "Málo paměti"_cz;
        case 5: return "Nelze otevřít tabulku HESLA"_cz;
        case 6: return "Nelze otevřít tabulku OSOBY"_cz;
        case 7: return "Nelze otevřít tabulku FILTRY"_cz;
        case 8: return "Nelze otevřít tabulku HISTORIE"_cz;
        case 9: return "Nelze otevřít tabulku EXTRAKT"_cz;
        case 10: return "Nelze otevřít tabulku AUDIT"_cz;
        case 11: return "Nelze otevřít tabulku EXPORT"_cz;
        case 12: return "Nelze otevřít tabulku PROHL"_cz;
        // The archive of the full operating log (a copy of HISTOR chosen by the operator).
        case 14: return "Nelze otevřít tabulku ARCHIV HISTORIE"_cz;
        case 19: return "Nelze registrovat třídu okna"_cz;
        case 20: return "Nelze vytvořit okno"_cz;
        case 26: return "Nelze otevřít tabulku LOGIN"_cz;
        case 28: return "Nelze otevřít tabulku CTECKY"_cz;
        case 20101: return "Přihlášení operátora do programu"_cz;
        case 20102: return "Odhlášení operátora z programu"_cz;
        case 20103: return "Právo operátora změnit své heslo"_cz;
        case 20104: return "Tabulka operátorů programu"_cz;
        case 20105: return "Ukončení programu"_cz;
        case 20106: return "Tabulka uživatelů karet a docházkových událostí"_cz;
        case 20107: return "Tabulka čteček"_cz;
        case 20108: return "Zobrazení přítomnosti osob"_cz;
        case 20109: return "Provedení exportu docházkových dat"_cz;
        case 20110: return "Nastavení exportu docházkových dat"_cz;
        case 20111: return "Tabulka filtrů provozních deníků"_cz;
        case 20112: return "Nastavení filtrů úplného provozního deníku"_cz;
        case 20113: return "Nastavení filtrů extraktu provozního deníku"_cz;
        case 20114: return "Práce se zálohami úplného provozního deníku"_cz;
        case 20115: return "Práce se zálohami auditu"_cz;
        case 20116: return "Vyhledání záznamu"_cz;
        case 20117: return "Zálohování úplného provozního deníku"_cz;
        case 20118: return "Mazání záznamů úplného provozního deníku"_cz;
        case 20119: return "Zálohování sdílených tabulek"_cz;
        case 20120: return "Zálohování privátních tabulek"_cz;
        case 20121: return "Zálohování auditu"_cz;
        case 20122: return "Tisk provozních deníků"_cz;
        case 20123: return "Tisk databázových tabulek"_cz;
        case 20124: return "Nastavení parametrů tisku"_cz;
        case 20125: return "Čtení obsahu HW bufferu"_cz;
        case 20126: return "Mazání obsahu HW bufferu"_cz;
        case 20127: return "Zobrazení úplného provozního deníku"_cz;
        case 20128: return "Zobrazení extraktu provozního deníku"_cz;
        case 20129: return "Zobrazení auditu"_cz;
        case 20130: return "Nastavení sériového portu"_cz;
        case 20131: return "Nastavení typu ústředny"_cz;
        case 20132: return "Sběr dat nebo prohlížení"_cz;
        case 20133: return "Nastavení adresáře sdílených tabulek"_cz;
        case 20134: return "Nastavení adresáře privátních tabulek"_cz;
        case 20135: return "Nastavení zálohování úplného provozního deníku"_cz;
        case 20136: return "Nastavení zálohování sdílených tabulek"_cz;
        case 20137: return "Nastavení zálohování privátních tabulek"_cz;
        case 20138: return "Nastavení zálohování auditu"_cz;
        case 20139: return "Nastavení adresáře zvuků a obrázků"_cz;
        case 20140: return "Nastavení externích programů"_cz;
        case 20141: return "Zobrazení nepotvrzených alarmů"_cz;
        case 20142: return "Utišení nepotvrzených alarmů"_cz;
        case 20143: return "Zatmění obrazovky"_cz;
        case 20144: return "Správa připojených stanic"_cz;
        case 20145: return "Start programu po splnění podmínek běhu"_cz;
        case 20146: return "O programu"_cz;
        case 20147: return "Elektronická příručka k programu"_cz;
        case 20148: return "Spuštění programu 1"_cz;
        case 20149: return "Spuštění programu 2"_cz;
        case 20150: return "Spuštění programu 3"_cz;
        case 20151: return "Povolení změny velikosti a umístění okna programu"_cz;
        case 20152: return "Povolení překrytí okna programu jiným oknem"_cz;
        default: return "";
    }
}

}  // namespace vrx::app
