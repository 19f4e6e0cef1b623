#include "window/cached_frame_style.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QStyleOptionFrame>
#include <array>

namespace veltro {
namespace {

// A box inside a combo or spin box is painted by its owner's control, which
// the base style keys on the widget; only a free-standing box is cached.
bool ownsItsFrame(const QWidget* widget) {
    const QWidget* owner = widget ? widget->parentWidget() : nullptr;
    return !qobject_cast<const QComboBox*>(owner) && !qobject_cast<const QAbstractSpinBox*>(owner);
}

// Everything the base style's panel depends on, packed as the key's
// characters: one allocation, no number formatting on every repaint.
QString cacheKey(const QStyleOptionFrame& frame, qreal pixelRatio) {
    const std::array<qint64, 9> fields{frame.rect.width(),
                                       frame.rect.height(),
                                       static_cast<qint64>(frame.state),
                                       frame.lineWidth,
                                       frame.midLineWidth,
                                       static_cast<qint64>(frame.features),
                                       static_cast<qint64>(frame.direction),
                                       static_cast<qint64>(frame.palette.cacheKey()),
                                       qRound64(pixelRatio * 1000)};
    return QString(reinterpret_cast<const QChar*>(fields.data()),
                   static_cast<qsizetype>(sizeof fields / sizeof(QChar)));
}

}  // namespace

CachedFrameStyle::CachedFrameStyle(const QString& baseStyleName) : QProxyStyle(baseStyleName) {}

void CachedFrameStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                     QPainter* painter, const QWidget* widget) const {
    const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
    // Only a whole-pixel placement reproduces the direct drawing exactly.
    if (element != PE_PanelLineEdit || !frame || !ownsItsFrame(widget) || frame->rect.isEmpty() ||
        painter->transform().type() > QTransform::TxTranslate) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    const qreal pixelRatio = painter->device()->devicePixelRatio();
    const QString key = cacheKey(*frame, pixelRatio);
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap)) {
        pixmap = QPixmap(frame->rect.size() * pixelRatio);
        pixmap.setDevicePixelRatio(pixelRatio);
        pixmap.fill(Qt::transparent);
        QStyleOptionFrame atOrigin(*frame);
        atOrigin.rect.moveTo(0, 0);
        QPainter onPixmap(&pixmap);
        QProxyStyle::drawPrimitive(element, &atOrigin, &onPixmap, widget);
        onPixmap.end();
        QPixmapCache::insert(key, pixmap);
    }
    painter->drawPixmap(frame->rect.topLeft(), pixmap);
}

}  // namespace veltro
