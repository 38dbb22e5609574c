#include "app/ui/Symbols.h"

#include "app/ui/FocusOutline.h"

#include <QApplication>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QPixmapCache>
#include <QPointer>
#include <QWidget>

#include <algorithm>
#include <utility>

namespace Tessivo::ui {

namespace {

// Draws one of our drawings in the colour of the label it stands beside, as
// the desktop's own symbols are. The colour is taken at each drawing, so a
// new palette needs no new icon: the control repaints on the change.
class SymbolEngine : public QIconEngine {
public:
    SymbolEngine(QString path, const QWidget* control, QPalette::ColorRole role)
        : path_(std::move(path)), control_(control), role_(role) {}

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height());
        if (side <= 0) return {};
        const QColor colour = colourFor(mode);
        const QString key = QStringLiteral("tessivo-symbol:%1:%2:%3").arg(path_).arg(side).arg(colour.rgba(), 0, 16);
        QPixmap pixmap;
        if (QPixmapCache::find(key, &pixmap)) return pixmap;
        QImageReader reader(path_);
        reader.setScaledSize(QSize(side, side));
        QImage image = reader.read().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (image.isNull()) return {};
        // The drawing's coverage, filled with the colour.
        QPainter painter(&image);
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(image.rect(), colour);
        painter.end();
        pixmap = QPixmap::fromImage(std::move(image));
        QPixmapCache::insert(key, pixmap);
        return pixmap;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal scale = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        painter->drawPixmap(rect, pixmap(rect.size() * scale, mode, state));
    }

    QIconEngine* clone() const override { return new SymbolEngine(path_, control_, role_); }
    QString key() const override { return QStringLiteral("TessivoSymbol"); }

private:
    QColor colourFor(QIcon::Mode mode) const {
        const QPalette palette = control_ ? control_->palette() : QGuiApplication::palette();
        if (mode == QIcon::Disabled) return palette.color(QPalette::Disabled, role_);
        if (mode == QIcon::Selected) return palette.color(QPalette::Active, QPalette::HighlightedText);
        const QPalette::ColorGroup group =
            control_ && !control_->isActiveWindow() ? QPalette::Inactive : QPalette::Active;
        // A palette whose text hardly stands out still gets a symbol that does.
        return focusMarkColour(palette.color(group, role_),
                               {palette.color(group, QPalette::Window), palette.color(group, QPalette::Button)});
    }

    QString path_;
    QPointer<const QWidget> control_;
    QPalette::ColorRole role_;
};

} // namespace

QString themeIconName(Symbol symbol) {
    switch (symbol) {
    case Symbol::palette: return QStringLiteral("preferences-desktop-color");
    case Symbol::send: return QStringLiteral("document-send");
    case Symbol::gear: return QStringLiteral("preferences-system");
    }
    return {};
}

QString ownIconPath(Symbol symbol) {
    switch (symbol) {
    case Symbol::palette: return QStringLiteral(":/symbols/palette.svg");
    case Symbol::send: return QStringLiteral(":/symbols/send.svg");
    case Symbol::gear: return QStringLiteral(":/symbols/gear.svg");
    }
    return {};
}

QIcon symbolIcon(Symbol symbol, const QWidget* control, QPalette::ColorRole role) {
    const QString name = themeIconName(symbol);
    if (QIcon::hasThemeIcon(name)) return QIcon::fromTheme(name);
    return QIcon(new SymbolEngine(ownIconPath(symbol), control, role));
}

} // namespace Tessivo::ui
