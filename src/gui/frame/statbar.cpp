#include "gui/frame/statbar.h"

#include <QHBoxLayout>
#include <QPainter>

#include "gui/frame/qtext.h"
#include "text/cz.h"
#include "text/dates.h"
#include "text/strutil.h"

namespace vrx::gui {

ReceiveIndicator::ReceiveIndicator(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("%1.1").arg(kStatusBarId));
    setMinimumWidth(70);
}

void ReceiveIndicator::setLit(bool on) {
    if (lit_ == on) return;
    lit_ = on;
    update();
}

void ReceiveIndicator::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(QRect(2, 0, width() - 22, height()), Qt::AlignVCenter | Qt::AlignLeft, qs("Příjem"_cz));
    // The box: 15 by 10 pixels near the right edge of the part.
    const QRect box(width() - 18, height() / 2 - 5, 15, 10);
    p.fillRect(box, lit_ ? QColor(255, 0, 0) : QColor(192, 192, 192));
    p.setPen(Qt::darkGray);
    p.drawRect(box.adjusted(0, 0, -1, -1));
}

STATBAR::STATBAR(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QString::number(kStatusBarId));
    setSizeGripEnabled(false);
    hint_ = new QLabel(this);
    hint_->setObjectName(QStringLiteral("%1.0").arg(kStatusBarId));
    indicator_ = new ReceiveIndicator(this);
    clock_ = new QLabel(this);
    clock_->setObjectName(QStringLiteral("%1.2").arg(kStatusBarId));
    clock_->setMinimumWidth(clock_->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00")) + 8);
    addWidget(hint_, 1);
    addPermanentWidget(indicator_);
    addPermanentWidget(clock_);
    flash_.setSingleShot(true);
    flash_.setInterval(kReceiveFlashMs);
    connect(&flash_, &QTimer::timeout, this, [this] { indicator_->setLit(false); });
    updateClock();
}

STATBAR::~STATBAR() {
    if (receiveActivity() == this) setReceiveActivity(nullptr);
}

void STATBAR::setHint(const std::string& text) {
    hint_->setText(qs(text));
}

void STATBAR::updateClock() {
    const long seconds = text::nowTime() / 1000;
    clock_->setText(QString::fromStdString(text::format("%2d:%02d:%02d", static_cast<int>(seconds / 3600),
                                                        static_cast<int>(seconds / 60 % 60),
                                                        static_cast<int>(seconds % 60))));
}

void STATBAR::byteReceived() {
    indicator_->setLit(true);
    flash_.start();
}

}  // namespace vrx::gui
