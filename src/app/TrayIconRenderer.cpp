#include "app/TrayIconRenderer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QPainterPath>

namespace larkspur {

namespace {

const QColor kPlate(0x26, 0x32, 0x38, 235);
const QColor kInk(0xFF, 0xFF, 0xFF);

void drawPlate(QPainter& p, int size) {
    const qreal r = size * 0.2;
    p.setPen(Qt::NoPen);
    p.setBrush(kPlate);
    p.drawRoundedRect(QRectF(0, 0, size, size), r, r);
}

void drawStopwatch(QPainter& p, int size) {
    const qreal s = size;
    const QPointF centre(s / 2, s * 0.56);
    const qreal radius = s * 0.33;
    QPen pen(kInk, std::max(1.5, s * 0.085), Qt::SolidLine, Qt::RoundCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, radius, radius);
    p.drawLine(QPointF(s * 0.42, s * 0.12), QPointF(s * 0.58, s * 0.12));
    p.drawLine(QPointF(s / 2, s * 0.12), QPointF(s / 2, centre.y() - radius));
    p.drawLine(centre, QPointF(centre.x(), centre.y() - radius * 0.62));
    p.drawLine(centre, QPointF(centre.x() + radius * 0.45, centre.y() + radius * 0.2));
}

// The largest bold monospaced font whose text fits the box.
QFont measureFittedFont(const QString& text, const QSizeF& box) {
    QFont font(QStringLiteral("monospace"));
    font.setStyleHint(QFont::Monospace);
    font.setBold(true);
    font.setPixelSize(100);
    const QFontMetricsF metrics(font);
    const QRectF bounds = metrics.tightBoundingRect(text);
    const qreal scale = std::min(box.width() / std::max(1.0, metrics.horizontalAdvance(text)),
                                 box.height() / std::max(1.0, bounds.height()));
    font.setPixelSize(std::max(1, int(100 * scale)));
    return font;
}

// Digits share one width in a monospaced font, so the fit depends only on the length of the
// text; measuring fonts is most of the cost of a new image.
QFont fittedFont(const QString& text, const QSizeF& box) {
    static QHash<std::pair<qsizetype, int>, QFont> cache;
    const auto key = std::make_pair(text.size(), int(box.width() * 64) ^ (int(box.height()) << 20));
    auto it = cache.constFind(key);
    if (it == cache.constEnd()) it = cache.insert(key, measureFittedFont(text, box));
    return *it;
}

void drawLine(QPainter& p, const QString& text, const QRectF& box, const QFont& font) {
    p.setFont(font);
    const QFontMetricsF metrics(font);
    const QRectF tight = metrics.tightBoundingRect(text);
    const qreal x = box.center().x() - metrics.horizontalAdvance(text) / 2;
    const qreal y = box.center().y() - tight.center().y();
    p.drawText(QPointF(x, y), text);
}

}  // namespace

std::pair<QString, QString> TrayIconRenderer::splitLines(const QString& text) {
    const QStringList parts = text.split(u':');
    if (parts.size() == 2) return {parts[0], parts[1]};
    // From an hour on, hours over minutes: six characters would be too small to read.
    if (parts.size() == 3) return {parts[0] + u'h', parts[1]};
    return {text, QString()};
}

QImage TrayIconRenderer::render(const QString& text, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawPlate(p, size);
    if (text.isEmpty()) {
        drawStopwatch(p, size);
        return image;
    }
    const auto [top, bottom] = splitLines(text);
    const qreal margin = size * 0.08;
    const qreal lineHeight = (size - 3 * margin) / 2;
    const QRectF topBox(margin, margin, size - 2 * margin, lineHeight);
    const QRectF bottomBox(margin, 2 * margin + lineHeight, size - 2 * margin, lineHeight);
    // Both lines share one size, set by the wider, so the digits line up.
    // Measured with a stand-in of the same length, so the cached fit does not depend on digits.
    const QString wider(std::max(top.size(), bottom.size()), u'0');
    const QFont font = fittedFont(wider, topBox.size());
    p.setPen(kInk);
    drawLine(p, top, topBox, font);
    drawLine(p, bottom, bottomBox, font);
    return image;
}

QIcon TrayIconRenderer::icon(const QString& text) {
    QIcon icon;
    for (int size : {22, 32, 44, 64}) icon.addPixmap(QPixmap::fromImage(render(text, size)));
    return icon;
}

}  // namespace larkspur
