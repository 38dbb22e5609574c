#pragma once

// The clickable shape thumbnails of the design panel and the grid that holds
// one per entry of a shape list. A click stores the thumbnail's index in the
// grid's index key (also when it is already the selected one); the outline
// follows the key, whoever changes it.

// Qt and the standard library first: moc needs their configuration before
// it reads the settings headers.
#include <QAbstractButton>
#include <QImage>
#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

#include "app/ui/ShapeThumbnails.h"
#include "settings-store/qt/Default.h"

namespace Tessivo::ui {

// One thumbnail: 30 x 30 with 2 points of padding, outlined 3 points wide
// (inside its edge) in the accent colour while selected. The keyboard focus
// shows as a line along that outline, or as a dashed ring where there is
// none.
class ShapeSelector : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr int imageSize = 30;
    static constexpr int padding = 2;
    static constexpr int borderWidth = 3;
    static constexpr int focusRingWidth = 2;

    // `image` names the shape (see shapeImageNames); the object name is the
    // prefix followed by it, e.g. "eye_square".
    ShapeSelector(const QString& prefix, const QString& image, int idx, QWidget* parent = nullptr);

    int idx() const { return idx_; }
    QString image() const { return image_; }
    bool isSelected() const { return selected_; }
    void setSelected(bool selected);
    void setThumbnail(const QImage& thumbnail);
    const QImage& thumbnail() const { return thumbnail_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString image_;
    int idx_;
    bool selected_ = false;
    QImage thumbnail_;
};

class EyeSelector : public ShapeSelector {
public:
    EyeSelector(const QString& image, int idx, QWidget* parent = nullptr) : ShapeSelector("eye_", image, idx, parent) {}
};
class PupilSelector : public ShapeSelector {
public:
    PupilSelector(const QString& image, int idx, QWidget* parent = nullptr)
        : ShapeSelector("pupil_", image, idx, parent) {}
};
class PixelSelector : public ShapeSelector {
public:
    PixelSelector(const QString& image, int idx, QWidget* parent = nullptr)
        : ShapeSelector("data_", image, idx, parent) {}
};

// The thumbnail names of each grid, in index order.
const std::vector<QString>& shapeImageNames(ShapeKind kind);

// The selectors of one list, laid out in as few rows as the width allows,
// filled evenly, rows 3 points apart, centred. The arrow keys move the
// focus to the neighbouring thumbnail (Up and Down within the columns as
// laid out), Home and End to the first and last. Thumbnails
// are drawn in the window's text colour, on first show and again only when
// that colour or the screen's pixel ratio changes.
class ShapeGrid : public QWidget {
    Q_OBJECT
public:
    ShapeGrid(ShapeKind kind, std::shared_ptr<ShapeThumbnails> thumbnails, const Defaults::Key<int>& indexKey,
              QWidget* parent = nullptr);

    ShapeKind kind() const { return kind_; }
    const std::vector<ShapeSelector*>& selectors() const { return selectors_; }
    // The selected index as shown (-1 when the key lies outside the list).
    int shownIndex() const;
    ShapeThumbnails& thumbnails() const { return *thumbnails_; }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int columnsFor(int width) const;
    // The selector that a key moves the focus to from `from`, -1 for a key
    // the grid leaves alone.
    int focusTarget(int from, int key) const;
    void placeSelectors();
    void showSelection();
    void drawThumbnails();

    ShapeKind kind_;
    std::shared_ptr<ShapeThumbnails> thumbnails_;
    Defaults::Default<int> index_;
    std::vector<ShapeSelector*> selectors_;
};

} // namespace Tessivo::ui
