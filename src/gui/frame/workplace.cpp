#include "gui/frame/workplace.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

#include "gui/frame/qtext.h"
#include "text/cz.h"

namespace vrx::gui {

WORKPLACEOKNO::WORKPLACEOKNO(QWidget* parent) : QMdiArea(parent) {
    setObjectName(QStringLiteral("WORKPLACEOKNO"));
    setBackground(QColor(192, 192, 192));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
}

QMdiSubWindow* WORKPLACEOKNO::addWindow(QWidget* w, Qt::WindowFlags flags) {
    QMdiSubWindow* sub = addSubWindow(w, flags);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    return sub;
}

void WORKPLACEOKNO::resizeEvent(QResizeEvent* e) {
    QMdiArea::resizeEvent(e);
    Q_EMIT resized();
}

ABOUTOKNO::ABOUTOKNO(bool withButton, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ABOUTOKNO"));
    setWindowTitle(qs("O aplikaci"_cz));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(pal);
    setFixedSize(350, 320);
    if (withButton) {
        auto* b = new QPushButton(qs("Zpět"_cz), this);
        b->setObjectName(QStringLiteral("101"));
        b->setGeometry(350 / 2 - 40, 320 - 35 - 25, 80, 25);
        connect(b, &QPushButton::clicked, this, [this] {
            if (QWidget* frame = parentWidget()) frame->close();
        });
    }
}

void ABOUTOKNO::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // The emblem: a shield with a signal wave.
    const QRect shield(125, 20, 100, 110);
    QPainterPath path;
    path.moveTo(shield.center().x(), shield.top());
    path.lineTo(shield.right(), shield.top() + 20);
    path.cubicTo(shield.right(), shield.top() + 70, shield.center().x() + 20, shield.bottom() - 10,
                 shield.center().x(), shield.bottom());
    path.cubicTo(shield.center().x() - 20, shield.bottom() - 10, shield.left(), shield.top() + 70,
                 shield.left(), shield.top() + 20);
    path.closeSubpath();
    p.setPen(QPen(QColor(0, 0, 96), 3));
    p.setBrush(QColor(0, 64, 160));
    p.drawPath(path);
    p.setPen(QPen(QColor(255, 200, 0), 4));
    p.drawPolyline(QPolygon({QPoint(140, 80), QPoint(160, 80), QPoint(168, 55), QPoint(182, 105),
                             QPoint(190, 80), QPoint(210, 80)}));
    QFont f = font();
    f.setPixelSize(26);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0, 0, 96));
    p.drawText(QRect(0, 140, width(), 34), Qt::AlignHCenter, QStringLiteral("VORAX"));
    f.setPixelSize(12);
    f.setBold(false);
    p.setFont(f);
    p.setPen(Qt::black);
    const QString lines[] = {
        qs("Záznam událostí zabezpečovacích systémů"_cz),
        qs("Provozní deníky, filtry, alarmy, docházka, tisk a zálohy"_cz),
        qs("Verze 0.1"_cz),
    };
    for (int i = 0; i < 3; ++i) p.drawText(QRect(0, 185 + 20 * i, width(), 20), Qt::AlignHCenter, lines[i]);
}

void ABOUTOKNO::mousePressEvent(QMouseEvent*) {
    if (QWidget* frame = parentWidget()) frame->raise();
}

QMdiSubWindow* openAbout(WORKPLACEOKNO& workplace, bool withButton) {
    auto* about = new ABOUTOKNO(withButton);
    auto* sub = workplace.addWindow(about, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                               (withButton ? Qt::WindowStaysOnTopHint : Qt::WindowType(0)));
    sub->setObjectName(QStringLiteral("about"));
    sub->adjustSize();
    const QScreen* s = QGuiApplication::primaryScreen();
    const QSize desk = s ? s->geometry().size() : QSize(1024, 768);
    sub->move(std::max(0, desk.width() / 2 - 175), std::max(0, desk.height() / 2 - 200));
    sub->show();
    sub->raise();
    return sub;
}

}  // namespace vrx::gui
