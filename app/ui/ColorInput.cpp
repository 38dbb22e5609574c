#include "app/ui/ColorInput.h"

#include "app/core/ColorText.h"
#include "app/ui/LabeledRow.h"

#include <QColorDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace Tessivo::ui {

QColor toQColor(const Color& color) {
    const gfx::RGBA rgba = toGraphicsColor(color).toSRGB();
    auto unit = [](double v) { return v >= 0 && v <= 1 ? float(v) : v > 1 ? 1.0f : 0.0f; }; // NaN gives 0
    return QColor::fromRgbF(unit(rgba.r), unit(rgba.g), unit(rgba.b), unit(rgba.a));
}

Color fromQColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return Color::sRGB(rgb.redF(), rgb.greenF(), rgb.blueF(), rgb.alphaF());
}

// ColorSwatch

ColorSwatch::ColorSwatch(QWidget* parent) : QWidget(parent) { setFixedSize(22, 22); }

void ColorSwatch::setColor(const QColor& color) {
    if (color == color_) return;
    color_ = color;
    update();
}

void ColorSwatch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(box, 4, 4);
    if (color_.alpha() < 255) {
        painter.save();
        painter.setClipPath(shape);
        painter.fillRect(rect(), Qt::white);
        const int cell = 5;
        for (int y = 0; y < height(); y += cell)
            for (int x = (y / cell) % 2 * cell; x < width(); x += 2 * cell)
                painter.fillRect(x, y, cell, cell, QColor(204, 204, 204));
        painter.restore();
    }
    painter.fillPath(shape, color_);
    QColor outline = palette().color(QPalette::WindowText);
    outline.setAlphaF(0.4f);
    painter.setPen(QPen(outline, 1));
    painter.drawPath(shape);
}

// HexColorField

HexColorField::HexColorField(const QString& title, const Defaults::Key<Color>& color, QWidget* parent)
    : QWidget(parent), color_(color), label_(new QLabel(title, this)), swatch_(new ColorSwatch(this)),
      lineEdit_(new QLineEdit(this)) {
    lineEdit_->setPlaceholderText("#RRGGBB");
    // One width for every row keeps the swatches of all rows in one line.
    lineEdit_->setFixedWidth(100);
    lineEdit_->setAccessibleName(title);
    // The swatch and the field, 6 points apart, at the right end of the row.
    auto* input = new QWidget(this);
    auto* inputRow = new QHBoxLayout(input);
    inputRow->setContentsMargins(0, 0, 0, 0);
    inputRow->setSpacing(6);
    swatch_->setParent(input);
    lineEdit_->setParent(input);
    inputRow->addWidget(swatch_);
    inputRow->addWidget(lineEdit_);
    new LabeledRowLayout(label_, input, this);
    swatch_->setColor(toQColor(color_.wrappedValue()));
    connect(&color_.observable(), &Defaults::ObservableBase::objectWillChange, this, [this] { colorChanged(); });
    connect(lineEdit_, &QLineEdit::returnPressed, this, [this] { submit(); });
}

QString HexColorField::title() const { return label_->text(); }

void HexColorField::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    swatch_->setColor(toQColor(color_.wrappedValue()));
    lineEdit_->setText(QString::fromStdString(colorToHex(color_.wrappedValue())));
}

void HexColorField::colorChanged() {
    const Color current = color_.wrappedValue();
    swatch_->setColor(toQColor(current));
    if (!isVisible()) return; // the text is filled when the row comes on screen
    const QString hex = QString::fromStdString(colorToHex(current));
    // Text typed but not submitted stays while it names the same colour.
    if (lineEdit_->text().toUpper() != hex) lineEdit_->setText(hex);
}

void HexColorField::submit() {
    if (const auto parsed = hexToColor(lineEdit_->text().toStdString())) {
        color_.setWrappedValue(*parsed);
        lineEdit_->setText(QString::fromStdString(colorToHex(*parsed)));
        swatch_->setColor(toQColor(*parsed));
    } else {
        lineEdit_->setText(QString::fromStdString(colorToHex(color_.wrappedValue())));
    }
}

// ColorPickerField

ColorPickerField::ColorPickerField(const QString& title, const Defaults::Key<Color>& color, QWidget* parent)
    : QWidget(parent), color_(color) {
    auto* label = new QLabel(title, this);
    auto* button = new QPushButton(this);
    button->setAccessibleName(title);
    button->setFixedSize(46, 26);
    auto* inner = new QHBoxLayout(button);
    inner->setContentsMargins(4, 2, 4, 2);
    swatch_ = new ColorSwatch(button);
    swatch_->setFixedSize(36, 18);
    swatch_->setAttribute(Qt::WA_TransparentForMouseEvents);
    inner->addWidget(swatch_);
    button_ = button;
    label->setBuddy(button);

    new LabeledRowLayout(label, button, this);

    showColor();
    connect(&color_.observable(), &Defaults::ObservableBase::objectWillChange, this, [this] { showColor(); });
    connect(button, &QPushButton::clicked, this, [this] { openDialog(); });
}

void ColorPickerField::showColor() {
    const QColor shown = toQColor(color_.wrappedValue());
    swatch_->setColor(shown);
    if (dialog_ && dialog_->currentColor() != shown) {
        QSignalBlocker blocker(dialog_.data());
        dialog_->setCurrentColor(shown);
    }
}

void ColorPickerField::openDialog() {
    if (dialog_) {
        dialog_->raise();
        dialog_->activateWindow();
        return;
    }
    const Color original = color_.wrappedValue();
    auto* dialog = new QColorDialog(toQColor(original), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setOption(QColorDialog::ShowAlphaChannel);
    dialog->setOption(QColorDialog::DontUseNativeDialog);
    dialog->setWindowTitle(static_cast<QPushButton*>(button_)->accessibleName());
    // Every change in the dialog is taken at once; choosing takes the last one.
    const auto take = [this](const QColor& chosen) {
        if (chosen.isValid() && chosen != toQColor(color_.wrappedValue())) color_.setWrappedValue(fromQColor(chosen));
    };
    connect(dialog, &QColorDialog::currentColorChanged, this, take);
    connect(dialog, &QColorDialog::colorSelected, this, take);
    connect(dialog, &QDialog::rejected, this, [this, original] {
        if (!(color_.wrappedValue() == original)) color_.setWrappedValue(original);
    });
    dialog_ = dialog;
    dialog->open();
}

// ColorInput

ColorInput::ColorInput(const QString& title, const Defaults::Key<Color>& color, QWidget* parent)
    : QWidget(parent), title_(title), useHex_(Keys::useHexColorInput()) {
    // One of the two is shown; a stacked layout would take the taller of
    // the two rows' heights for either.
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    picker_ = new ColorPickerField(title, color, this);
    hex_ = new HexColorField(title, color, this);
    column->addWidget(picker_);
    column->addWidget(hex_);
    showMode();
    connect(&useHex_.observable(), &Defaults::ObservableBase::objectWillChange, this, [this] { showMode(); });
}

bool ColorInput::showsHexField() const { return !hex_->isHidden(); }

void ColorInput::showMode() {
    const bool hex = useHex_.wrappedValue();
    picker_->setVisible(!hex);
    hex_->setVisible(hex);
}

} // namespace Tessivo::ui
