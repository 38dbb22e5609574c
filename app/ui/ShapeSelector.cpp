#include "app/ui/ShapeSelector.h"

#include "app/ui/FocusOutline.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPalette>
#include <QResizeEvent>
#include <QShowEvent>

#include <algorithm>
#include <cmath>

namespace Tessivo::ui {

namespace {
constexpr int cellSize = ShapeSelector::imageSize + 2 * ShapeSelector::padding;
constexpr int minimumSpacing = 4;
constexpr int preferredSpacing = 8;
constexpr int rowSpacing = 3;
constexpr int preferredColumns = 5;
} // namespace

const std::vector<QString>& shapeImageNames(ShapeKind kind) {
    static const std::vector<QString> eyes = {
        "square",         "circle",   "roundedRect",    "roundedOuter", "roundedpointingin",
        "leaf",           "squircle", "barsHorizontal", "barsVertical", "pixels",
        "corneredPixels", "shield",   "edges"};
    static const std::vector<QString> pupils = {
        "square",         "circle",   "roundedRect",    "roundedOuter", "roundedpointingin",
        "leaf",           "squircle", "barsHorizontal", "barsVertical", "pixels",
        "corneredPixels", "shield",   "hexagonLeaf",    "seal",         "blobby"};
    static const std::vector<QString> pixels = {
        "square",           "circle",   "curvePixel", "roundedRect", "horizontal", "vertical", "roundedPath",
        "roundedEndIndent", "squircle", "pointy",     "sharp",       "star",       "flower",   "shiny"};
    switch (kind) {
    case ShapeKind::eye: return eyes;
    case ShapeKind::pupil: return pupils;
    case ShapeKind::pixel: return pixels;
    }
    return pixels;
}

// ShapeSelector

ShapeSelector::ShapeSelector(const QString& prefix, const QString& image, int idx, QWidget* parent)
    : QAbstractButton(parent), image_(image), idx_(idx) {
    setObjectName(prefix + image);
    setAccessibleName(image);
    setFocusPolicy(Qt::TabFocus);
    setFixedSize(cellSize, cellSize);
}

void ShapeSelector::setSelected(bool selected) {
    if (selected_ == selected) return;
    selected_ = selected;
    update();
}

void ShapeSelector::setThumbnail(const QImage& thumbnail) {
    thumbnail_ = thumbnail;
    update();
}

QSize ShapeSelector::sizeHint() const { return {cellSize, cellSize}; }

void ShapeSelector::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect imageRect(padding, padding, imageSize, imageSize);
    if (!thumbnail_.isNull()) painter.drawImage(imageRect, thumbnail_);
    const QPalette& colours = palette();
    painter.setBrush(Qt::NoBrush);
    // The stroke lies inside the edge: inset by half its width.
    const qreal half = borderWidth / 2.0;
    const QRectF ring = QRectF(rect()).adjusted(half, half, -half, -half);
    if (selected_) {
        QPen pen(colours.color(QPalette::Highlight), borderWidth);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.drawRect(ring);
    }
    if (!hasFocus()) return;
    // The keyboard focus. On the chosen shape a line runs along the middle
    // of its outline; on any other a dashed ring, unlike the chosen one's
    // solid outline, lies along the edge, beside the window and the
    // thumbnail's strokes. Each stands out 3:1 from what it lies on.
    if (selected_) {
        QPen line(focusMarkColour(colours.color(QPalette::HighlightedText), {colours.color(QPalette::Highlight)}), 1);
        line.setJoinStyle(Qt::MiterJoin);
        painter.setPen(line);
        painter.drawRect(ring);
    } else {
        QPen dashes(focusMarkColour(colours.color(QPalette::Highlight),
                                    {colours.color(QPalette::Window), colours.color(QPalette::WindowText)}),
                    focusRingWidth);
        dashes.setDashPattern({2, 1});   // in pen widths
        dashes.setCapStyle(Qt::FlatCap); // square caps would close the gaps
        dashes.setJoinStyle(Qt::MiterJoin);
        painter.setPen(dashes);
        const qreal inset = focusRingWidth / 2.0;
        painter.drawRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset));
    }
}

// ShapeGrid

ShapeGrid::ShapeGrid(ShapeKind kind, std::shared_ptr<ShapeThumbnails> thumbnails, const Defaults::Key<int>& indexKey,
                     QWidget* parent)
    : QWidget(parent), kind_(kind), thumbnails_(std::move(thumbnails)), index_(indexKey) {
    const auto& names = shapeImageNames(kind);
    const int count = thumbnails_->count();
    for (int i = 0; i < count; ++i) {
        const QString name = i < int(names.size()) ? names[std::size_t(i)] : QString::number(i);
        ShapeSelector* selector = nullptr;
        switch (kind) {
        case ShapeKind::eye: selector = new EyeSelector(name, i, this); break;
        case ShapeKind::pupil: selector = new PupilSelector(name, i, this); break;
        case ShapeKind::pixel: selector = new PixelSelector(name, i, this); break;
        }
        // Read out by assistive technology; the thumbnail itself has no text.
        if (const QString title = thumbnails_->title(i); !title.isEmpty()) selector->setAccessibleName(title);
        connect(selector, &QAbstractButton::clicked, this, [this, i] { index_.setWrappedValue(i); });
        selector->installEventFilter(this);
        selectors_.push_back(selector);
    }
    connect(&index_.observable(), &Defaults::ObservableBase::objectWillChange, this, [this] { showSelection(); });
    showSelection();
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

int ShapeGrid::shownIndex() const {
    for (const auto* selector : selectors_)
        if (selector->isSelected()) return selector->idx();
    return -1;
}

void ShapeGrid::showSelection() {
    const int selected = index_.wrappedValue();
    for (auto* selector : selectors_) selector->setSelected(selector->idx() == selected);
}

int ShapeGrid::focusTarget(int from, int key) const {
    const int count = int(selectors_.size());
    const int columns = columnsFor(width());
    switch (key) {
    case Qt::Key_Left: return std::max(from - 1, 0);
    case Qt::Key_Right: return std::min(from + 1, count - 1);
    // A column that the last row leaves short has nothing below its last
    // tile: the focus stays, as in the platform's icon views.
    case Qt::Key_Up: return from >= columns ? from - columns : from;
    case Qt::Key_Down: return from + columns < count ? from + columns : from;
    case Qt::Key_Home: return 0;
    case Qt::Key_End: return count - 1;
    default: return -1;
    }
}

bool ShapeGrid::eventFilter(QObject* watched, QEvent* event) {
    // The thumbnails would take the arrows as Tab and Shift+Tab, out of the
    // grid at its ends; here they move through the grid as it is laid out.
    // They move the focus only: Space chooses.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const auto found = std::find(selectors_.begin(), selectors_.end(), watched);
        if (found != selectors_.end() && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            if (const int target = focusTarget(int(found - selectors_.begin()), key->key()); target >= 0) {
                selectors_[std::size_t(target)]->setFocus(Qt::OtherFocusReason);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

int ShapeGrid::columnsFor(int width) const {
    const int count = std::max(1, int(selectors_.size()));
    const int fitting = std::clamp((width + minimumSpacing) / (cellSize + minimumSpacing), 1, count);
    // As few rows as fit, filled evenly: 14 shapes at ten per row are two
    // rows of seven, not ten and four.
    const int rows = (count + fitting - 1) / fitting;
    return (count + rows - 1) / rows;
}

int ShapeGrid::heightForWidth(int width) const {
    const int count = int(selectors_.size());
    if (count == 0) return 0;
    const int columns = columnsFor(width);
    const int rows = (count + columns - 1) / columns;
    return rows * cellSize + (rows - 1) * rowSpacing;
}

QSize ShapeGrid::sizeHint() const {
    const int width = preferredColumns * cellSize + (preferredColumns - 1) * preferredSpacing;
    return {width, heightForWidth(width)};
}

// One cell wide; the height is the layouts' business through heightForWidth.
// The height of that one column would make the scrolling panel as tall as a
// grid of fourteen rows at any width.
QSize ShapeGrid::minimumSizeHint() const { return {cellSize, cellSize}; }

void ShapeGrid::placeSelectors() {
    const int columns = columnsFor(width());
    // The columns spread up to the preferred spacing; what is left centres them.
    const int spacing =
        columns > 1 ? std::clamp((width() - columns * cellSize) / (columns - 1), minimumSpacing, preferredSpacing) : 0;
    const int usedWidth = columns * cellSize + (columns - 1) * spacing;
    const int left = std::max(0, (width() - usedWidth) / 2);
    for (std::size_t i = 0; i < selectors_.size(); ++i) {
        const int row = int(i) / columns;
        const int column = int(i) % columns;
        selectors_[i]->move(left + column * (cellSize + spacing), row * (cellSize + rowSpacing));
    }
}

void ShapeGrid::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeSelectors();
}

void ShapeGrid::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    drawThumbnails();
}

void ShapeGrid::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && isVisible()) drawThumbnails();
}

void ShapeGrid::drawThumbnails() {
    const qreal ratio = devicePixelRatioF();
    const int pixels = int(std::lround(ShapeSelector::imageSize * ratio));
    const auto& images = thumbnails_->images(pixels, palette().color(QPalette::WindowText));
    for (std::size_t i = 0; i < selectors_.size() && i < images.size(); ++i) {
        QImage image = images[i];
        image.setDevicePixelRatio(ratio);
        selectors_[i]->setThumbnail(image);
    }
}

} // namespace Tessivo::ui
