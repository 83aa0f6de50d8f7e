#include "gui/frame/toolbar.h"

#include <QAction>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

#include "app/commands.h"
#include "gui/frame/qtext.h"
#include "platform/program_start.h"
#include "settings/inisoubor.h"
#include "text/cz.h"
#include "text/strutil.h"

namespace vrx::gui {
namespace {

// Left to right: bitmap index and command; -1 stands for a separator.
struct Button {
    int bitmap;
    int command;
};
constexpr Button kButtons[] = {
    {-1, 0},     {0, 20101}, {-1, 0},     {5, 20106},  {6, 20111},  {14, 20107}, {4, 20104},
    {-1, 0},     {1, 20125}, {-1, 0},     {11, 20113}, {10, 20128}, {-1, 0},     {2, 20122},
    {-1, 0},     {8, 20109}, {16, 20108}, {-1, 0},     {7, 20117},  {-1, 0},     {9, 20116},
    {12, 20143}, {-1, 0},    {13, 20141}, {15, 20142}, {-1, 0},     {3, 20147},
};

void person(QPainter& p, QColor c, int x, int y) {
    p.setBrush(c);
    p.setPen(Qt::black);
    p.drawEllipse(QRect(x + 2, y, 5, 5));
    p.drawRoundedRect(QRect(x, y + 6, 9, 7), 2, 2);
}

void document(QPainter& p, QColor lines) {
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(3, 1, 11, 14);
    p.setPen(lines);
    for (int y = 4; y <= 12; y += 2) p.drawLine(5, y, 12, y);
}

void funnel(QPainter& p, QColor c) {
    QPainterPath path;
    path.moveTo(1, 2);
    path.lineTo(14, 2);
    path.lineTo(9, 8);
    path.lineTo(9, 14);
    path.lineTo(6, 12);
    path.lineTo(6, 8);
    path.closeSubpath();
    p.setPen(Qt::black);
    p.setBrush(c);
    p.drawPath(path);
}

void letter(QPainter& p, const QString& s, QColor c, QRect r) {
    QFont f = p.font();
    f.setPixelSize(9);
    f.setBold(true);
    p.setFont(f);
    p.setPen(c);
    p.drawText(r, Qt::AlignCenter, s);
}

}  // namespace

QPixmap toolbarBitmap(int index) {
    QPixmap pm(18, 17);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, false);
    switch (index) {
        case 0:  // login: a key
            p.setPen(QPen(QColor(160, 120, 0), 2));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QRect(2, 5, 6, 6));
            p.drawLine(8, 8, 16, 8);
            p.drawLine(13, 8, 13, 11);
            p.drawLine(16, 8, 16, 11);
            break;
        case 1:  // hardware buffer read: a unit and an arrow out of it
            p.setPen(Qt::black);
            p.setBrush(QColor(0, 128, 128));
            p.drawRect(1, 8, 12, 7);
            p.setPen(QPen(Qt::red, 2));
            p.drawLine(14, 2, 14, 10);
            p.drawLine(11, 5, 14, 2);
            p.drawLine(17, 5, 14, 2);
            break;
        case 2:  // print the logs: a printer
            p.setPen(Qt::black);
            p.setBrush(Qt::white);
            p.drawRect(5, 1, 8, 6);
            p.setBrush(QColor(128, 128, 128));
            p.drawRect(1, 7, 16, 6);
            p.setBrush(Qt::white);
            p.drawRect(5, 11, 8, 5);
            p.fillRect(14, 9, 2, 1, Qt::green);
            break;
        case 3:  // help: a question mark
            letter(p, QStringLiteral("?"), QColor(0, 0, 160), QRect(0, 0, 18, 17));
            break;
        case 4:  // operators: two persons
            person(p, QColor(0, 0, 160), 1, 2);
            person(p, QColor(200, 160, 0), 8, 3);
            break;
        case 5:  // card users: a card
            p.setPen(Qt::black);
            p.setBrush(QColor(255, 255, 192));
            p.drawRoundedRect(QRect(1, 3, 16, 11), 2, 2);
            p.fillRect(3, 6, 5, 5, QColor(200, 160, 0));
            p.setPen(Qt::darkGray);
            p.drawLine(10, 7, 15, 7);
            p.drawLine(10, 10, 14, 10);
            break;
        case 6:  // filter table: a funnel
            funnel(p, QColor(0, 128, 255));
            break;
        case 7:  // backup: a diskette
            p.setPen(Qt::black);
            p.setBrush(QColor(0, 0, 128));
            p.drawRect(2, 1, 14, 15);
            p.fillRect(5, 2, 8, 5, Qt::white);
            p.fillRect(5, 10, 8, 6, QColor(192, 192, 192));
            break;
        case 8:  // export: a sheet and an arrow to the right
            document(p, Qt::darkGray);
            p.setPen(QPen(Qt::red, 2));
            p.drawLine(8, 9, 16, 9);
            p.drawLine(13, 6, 16, 9);
            p.drawLine(13, 12, 16, 9);
            break;
        case 9:  // search: a magnifier
            p.setPen(QPen(Qt::black, 2));
            p.setBrush(QColor(192, 224, 255));
            p.drawEllipse(QRect(2, 2, 8, 8));
            p.drawLine(10, 10, 15, 15);
            break;
        case 10:  // the extract window: a sheet with red lines
            document(p, Qt::red);
            break;
        case 11:  // extract filters: a funnel and an E
            funnel(p, QColor(255, 128, 0));
            letter(p, QStringLiteral("E"), Qt::black, QRect(10, 8, 8, 9));
            break;
        case 12:  // pause: two bars
            p.fillRect(4, 3, 4, 11, Qt::black);
            p.fillRect(10, 3, 4, 11, Qt::black);
            break;
        case 13: {  // show alarms: a bell
            p.setPen(Qt::black);
            p.setBrush(QColor(255, 200, 0));
            QPainterPath bell;
            bell.moveTo(3, 13);
            bell.lineTo(15, 13);
            bell.lineTo(13, 10);
            bell.lineTo(13, 5);
            bell.cubicTo(13, 1, 5, 1, 5, 5);
            bell.lineTo(5, 10);
            bell.closeSubpath();
            p.drawPath(bell);
            p.drawEllipse(QRect(8, 13, 3, 3));
            break;
        }
        case 14:  // readers: a reader with its light
            p.setPen(Qt::black);
            p.setBrush(QColor(64, 64, 64));
            p.drawRect(5, 1, 8, 15);
            p.fillRect(7, 3, 4, 2, Qt::green);
            p.fillRect(7, 7, 4, 6, QColor(128, 128, 128));
            break;
        case 15:  // silence: a loudspeaker crossed out
            p.setPen(Qt::black);
            p.setBrush(QColor(128, 128, 128));
            p.drawRect(2, 6, 4, 5);
            p.drawPolygon(QPolygon({QPoint(6, 6), QPoint(11, 2), QPoint(11, 15), QPoint(6, 11)}));
            p.setPen(QPen(Qt::red, 2));
            p.drawLine(1, 15, 16, 1);
            break;
        case 16:  // presence: a person and a tick
            person(p, QColor(0, 128, 0), 1, 2);
            p.setPen(QPen(QColor(0, 160, 0), 2));
            p.drawLine(10, 10, 12, 13);
            p.drawLine(12, 13, 17, 5);
            break;
        default:
            break;
    }
    return pm;
}

TOOLBAR::TOOLBAR(std::function<void(int)> command, QWidget* parent) : QToolBar(parent) {
    setObjectName(QString::number(kToolbarId));
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(18, 17));
    for (const Button& b : kButtons) {
        if (b.bitmap < 0) {
            addSeparator();
            continue;
        }
        QAction* a = addAction(QIcon(toolbarBitmap(b.bitmap)), QString());
        a->setToolTip(qs(app::commandTooltip(b.command)));
        a->setData(b.command);
        const int number = b.command;
        connect(a, &QAction::triggered, this, [command, number] { command(number); });
        if (QWidget* w = widgetForAction(a)) w->setObjectName(QString::number(b.command));
        actions_[b.command] = a;
    }
}

void TOOLBAR::enableButton(int command, bool on) {
    auto it = actions_.find(command);
    if (it != actions_.end()) it->second->setEnabled(on);
}

bool TOOLBAR::buttonEnabled(int command) const {
    auto it = actions_.find(command);
    return it != actions_.end() && it->second->isEnabled();
}

QAction* TOOLBAR::action(int command) const {
    auto it = actions_.find(command);
    return it != actions_.end() ? it->second : nullptr;
}

// ---- program buttons ----

namespace {
std::string sectionOf(int n) {
    return "TLACITKO" + std::to_string(n);
}
}  // namespace

TOOLBAROKNO::TOOLBAROKNO(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TOOLBAROKNO"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(pal);
    setFixedSize(300, 26);
    const int xs[] = {1, 95, 190};
    for (int n = 1; n <= 3; ++n) {
        auto* b = new QPushButton(this);
        b->setObjectName(QString::number(101 + n));
        b->setGeometry(xs[n - 1], 2, 90, 23);
        const std::string def = "Tlačítko "_cz + std::to_string(n);
        b->setText(qs(settings().readString(sectionOf(n), "Nazev", def, 50)));
        b->setEnabled(false);
        connect(b, &QPushButton::clicked, this, [this, n] { run(n); });
    }
}

QPushButton* TOOLBAROKNO::button(int n) const {
    return findChild<QPushButton*>(QString::number(101 + n), Qt::FindDirectChildrenOnly);
}

void TOOLBAROKNO::setCaption(int n, const std::string& text) {
    if (QPushButton* b = button(n)) b->setText(qs(text));
}

bool TOOLBAROKNO::run(int n) {
    const std::string program = settings().readString(sectionOf(n), "Program", "");
    if (program.empty()) return false;
    const std::string params = settings().readString(sectionOf(n), "Param", "");
    return platform::startDetached(platform::commandArguments(program, params)) > 0;
}

}  // namespace vrx::gui
