// The operator list and detail dialogs: the rights editor, saving, duplicate names, the view-only
// mode, deleting and the search.
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QtTest>

#include "gui/operators/operator_commands.h"
#include "gui/operators/operator_dialogs.h"
#include "gui/operators/station_fixture.h"
#include "platform/app_error.h"

using namespace vrx;
using namespace vrx::test;

class OperatorsTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void init() {
        env = std::make_unique<StationEnvironment>();
        station = std::make_unique<TestStation>();
        station->rights = operators::fullRights();
    }
    void cleanup() {
        station.reset();
        env.reset();
    }

    void rightsEditorCycles();
    void newOperatorAndDuplicateNames();
    void passwordCheckBox();
    void viewOnlyWithoutWriteRight();
    void deleteMovesTheSelectionAndSearchWraps();
    void tableThatCannotBeOpened();

  private:
    static QString rightText(QListWidget* rights, int row) { return rights->item(row)->text(); }

    std::unique_ptr<StationEnvironment> env;
    std::unique_ptr<TestStation> station;
};

void OperatorsTest::rightsEditorCycles() {
    env->makeOperators({{"Novák", "a"}});
    gui::OperatorDetailDialog d(*station, 1);
    QVERIFY(d.tableOpen());
    d.show();
    auto* rights = child<QListWidget>(&d, "rights");
    QCOMPARE(rights->count(), operators::kRightCount);
    QCOMPARE(rightText(rights, operators::kRightOperators),
             QString::fromUtf8("Žádné  Tabulka operátorů programu"));
    QCOMPARE(rightText(rights, 0), QString::fromUtf8("       Přihlášení operátora do programu"));

    const int beeps = env->messages.beeps;
    click(&d, "toggle");  // nothing selected: only a beep
    QCOMPARE(env->messages.beeps, beeps + 1);

    rights->setCurrentRow(operators::kRightOperators);
    QStringList seen;
    for (int i = 0; i < 3; ++i) {
        click(&d, "toggle");
        seen << rightText(rights, operators::kRightOperators).left(5);
    }
    QCOMPARE(seen, (QStringList{QString::fromUtf8("Čtení"), QString::fromUtf8("Zápis"),
                                QString::fromUtf8("Žádné")}));
    QCOMPARE(rights->currentRow(), operators::kRightOperators);  // the selection stays

    const int serialPort = operators::rightIndex(20130);
    rights->setCurrentRow(serialPort);
    click(&d, "toggle");
    QCOMPARE(rightText(rights, serialPort).left(5), QString("Ano  "));
    doubleClick(rights, serialPort);
    QCOMPARE(rightText(rights, serialPort).left(5), QString("Ne   "));
    rights->setCurrentRow(0);
    click(&d, "toggle");  // always allowed: no change
    QCOMPARE(rightText(rights, 0).left(5), QString("     "));

    click(&d, "setAll");
    QCOMPARE(rightText(rights, operators::kRightOperators).left(5), QString::fromUtf8("Zápis"));
    QCOMPARE(rightText(rights, serialPort).left(5), QString("Ano  "));
    click(&d, "clearAll");
    QCOMPARE(rights->currentRow(), 0);
    for (int i = 0; i < operators::kRightCount; ++i) {
        const QString v = rightText(rights, i).left(5);
        switch (operators::rightKind(i)) {
            case 1:
                QCOMPARE(v, QString("     "));
                break;
            case 2:
                QCOMPARE(v, QString("Ne   "));
                break;
            default:
                QCOMPARE(v, QString::fromUtf8("Žádné"));
                break;
        }
    }
    rights->setCurrentRow(operators::kRightStations);
    click(&d, "toggle");
    click(&d, "write");
    QVERIFY(!d.isVisible());
    operators::OperatorCheck check;
    check.open();
    TABHESLA::Record r;
    QVERIFY(check.find(text::utf8ToCp1250("Novák"), r));
    operators::Rights expected = operators::loggedOutRights();
    expected[operators::kRightStations] = operators::kRightRead;
    QVERIFY(operators::rightsFromBytes(r.Opravneni) == expected);
    QCOMPARE(env->auditEntries(), std::vector<std::string>{"|Přidání nebo oprava hesla Novák"});
}

void OperatorsTest::newOperatorAndDuplicateNames() {
    env->makeOperators({{"Novák", "a"}, {"Svoboda", ""}});
    {
        gui::OperatorDetailDialog d(*station, 0);
        d.show();
        QVERIFY(!child<QCheckBox>(&d, "usePassword")->isChecked());
        QVERIFY(!child<QLineEdit>(&d, "password")->isEnabled());
        click(&d, "write");
        QCOMPARE(env->messages.last(), std::string("Informace|Není zadáno jméno."));
        type(&d, "name", "Novák");
        click(&d, "write");
        QCOMPARE(env->messages.last(), std::string("Informace|Duplicitní jméno."));
        QVERIFY(d.isVisible());
        type(&d, "name", "Dvořák");
        click(&d, "write");
        QVERIFY(!d.isVisible());
    }
    {
        // Saving an operator unchanged is no duplicate; renaming onto another one is.
        gui::OperatorDetailDialog d(*station, 2);
        d.show();
        QCOMPARE(child<QLineEdit>(&d, "name")->text(), QString("Svoboda"));
        type(&d, "name", "Dvořák");
        click(&d, "write");
        QCOMPARE(env->messages.last(), std::string("Informace|Duplicitní jméno."));
        type(&d, "name", "Svoboda");
        click(&d, "write");
        QVERIFY(!d.isVisible());
    }
    QCOMPARE(env->messages.shown.size(), size_t(3));
}

void OperatorsTest::passwordCheckBox() {
    env->makeOperators({{"Novák", "tajne"}});
    gui::OperatorDetailDialog d(*station, 1);
    d.show();
    auto* use = child<QCheckBox>(&d, "usePassword");
    auto* password = child<QLineEdit>(&d, "password");
    auto* verification = child<QLineEdit>(&d, "verification");
    QVERIFY(use->isChecked());
    QCOMPARE(password->text(), QString("tajne"));
    QCOMPARE(verification->text(), QString("tajne"));
    use->click();
    QVERIFY(password->text().isEmpty() && verification->text().isEmpty());
    QVERIFY(!password->isEnabled() && !verification->isEnabled());
    use->click();
    QVERIFY(password->isEnabled() && verification->isEnabled());
    click(&d, "write");
    QCOMPARE(env->messages.last(), std::string("Informace|Není zadáno heslo."));
    type(&d, "password", "nove");
    type(&d, "verification", "nova");
    click(&d, "write");
    QCOMPARE(env->messages.last(), std::string("Informace|Text hesla je jiný než text ověření."));
    type(&d, "verification", "nove");
    click(&d, "write");
    QVERIFY(!d.isVisible());
    operators::OperatorCheck check;
    check.open();
    QVERIFY(check.matches(text::utf8ToCp1250("Novák"), "nove"));
}

void OperatorsTest::viewOnlyWithoutWriteRight() {
    env->makeOperators({{"Novák", "a"}});
    station->rights[operators::kRightOperators] = operators::kRightRead;
    gui::OperatorListDialog list(*station);
    QVERIFY(!child<QPushButton>(&list, "add")->isEnabled());
    QVERIFY(!child<QPushButton>(&list, "remove")->isEnabled());
    QCOMPARE(child<QPushButton>(&list, "edit")->text(), QString("Zobrazit"));
    gui::OperatorDetailDialog detail(*station, 1);
    QVERIFY(!child<QPushButton>(&detail, "write")->isEnabled());

    station->rights[operators::kRightOperators] = operators::kRightWrite;
    gui::OperatorListDialog writable(*station);
    QCOMPARE(child<QPushButton>(&writable, "edit")->text(), QString("Opravit"));
    QVERIFY(child<QPushButton>(&writable, "add")->isEnabled());
}

void OperatorsTest::deleteMovesTheSelectionAndSearchWraps() {
    env->makeOperators({{"Novák", "a"}, {"Svoboda", ""}, {"Novotný", "c"}});
    gui::OperatorListDialog d(*station);
    d.show();
    auto* list = child<QListWidget>(&d, "list");
    auto* count = child<QLabel>(&d, "count");
    QCOMPARE(list->count(), 3);
    QCOMPARE(count->text(), QString("3"));
    QCOMPARE(list->currentRow(), 0);
    QCOMPARE(list->item(0)->text(), QString::fromUtf8("Novák").leftJustified(40) + " Ano");
    QCOMPARE(list->item(1)->text(), QString("Svoboda").leftJustified(40) + " ");

    type(&d, "searchText", "NOV");
    click(&d, "search");
    QCOMPARE(list->currentRow(), 2);
    env->messages.answers = {true};
    click(&d, "search");  // the end of the list: wraps after the question
    QCOMPARE(env->messages.asked,
             std::vector<std::string>{"Nenalezeno. Zahájit hledání od začátku seznamu ?"});
    QCOMPARE(list->currentRow(), 0);

    list->setCurrentRow(2);
    click(&d, "remove");  // Cancel: nothing happens
    QCOMPARE(list->count(), 3);
    env->messages.answers = {true};
    click(&d, "remove");
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->currentRow(), 1);  // the last line was removed: the new last line
    QCOMPARE(count->text(), QString("2"));
    QCOMPARE(env->auditEntries(), std::vector<std::string>{"|Smazání hesla Novotný"});

    // "Přidat" opens the detail and selects the new last line afterwards.
    d.openDetail = [](long record) {
        QCOMPARE(record, 0L);
        TABHESLA t;
        QVERIFY(t.open(0, 1, 0));
        t.resetCurrent();
        setText(t.rec.Jmeno, "Dvorak");
        QVERIFY(t.save(1));
    };
    click(&d, "add");
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->currentRow(), 2);
    long opened = -1;
    d.openDetail = [&opened](long record) { opened = record; };
    list->setCurrentRow(1);
    click(&d, "edit");
    QCOMPARE(opened, 2L);
    QCOMPARE(list->currentRow(), 1);
}

void OperatorsTest::tableThatCannotBeOpened() {
    bool raised = false;
    try {
        gui::runOperatorsCommand(nullptr, *station);
    } catch (const AppError& e) {
        raised = e.message == 5;
    }
    QVERIFY(raised);
}

QTEST_MAIN(OperatorsTest)
#include "tst_operators.moc"
