#pragma once

// The colour rows of the design panel. A ColorInput shows the colour picker
// (a swatch button that opens the colour dialog) or, while "use hex color
// input" is on, a HexColorField; it switches as soon as that key changes.
// Both write the colour key they were made with at once.

// Qt and the standard library first: moc needs their configuration before
// it reads the settings headers.
#include <QColor>
#include <QColorDialog>
#include <QPointer>
#include <QString>
#include <QWidget>

#include "app/core/SettingsKeys.h"
#include "settings-store/qt/Default.h"

class QLabel;
class QLineEdit;

namespace Tessivo::ui {

// The stored colour as a Qt colour (sRGB, limited to the displayable range).
QColor toQColor(const Color& color);
// A Qt colour as the stored form: sRGB components with alpha.
Color fromQColor(const QColor& color);

// A rounded 22 x 22 square filled with a colour, outlined in the secondary
// text colour; transparency shows over a checkerboard.
class ColorSwatch : public QWidget {
    Q_OBJECT
public:
    explicit ColorSwatch(QWidget* parent = nullptr);
    void setColor(const QColor& color);
    QColor color() const { return color_; }
    QSize sizeHint() const override { return {22, 22}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor color_;
};

// The title, a swatch and a text field for "#RRGGBB". Typing changes only
// the text; Return stores the colour the text names, or puts back the text
// of the current colour when it names none.
class HexColorField : public QWidget {
    Q_OBJECT
public:
    HexColorField(const QString& title, const Defaults::Key<Color>& color, QWidget* parent = nullptr);

    QLineEdit* lineEdit() const { return lineEdit_; }
    ColorSwatch* swatch() const { return swatch_; }
    QString title() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void colorChanged();
    void submit();

    Defaults::Default<Color> color_;
    QLabel* label_;
    ColorSwatch* swatch_;
    QLineEdit* lineEdit_;
};

// The title and a swatch button; the button opens the colour dialog (with
// opacity), whose choice is stored while it changes. Cancel puts back the
// colour the dialog started with.
class ColorPickerField : public QWidget {
    Q_OBJECT
public:
    ColorPickerField(const QString& title, const Defaults::Key<Color>& color, QWidget* parent = nullptr);

    QWidget* button() const { return button_; }
    ColorSwatch* swatch() const { return swatch_; }
    // The dialog while it is open.
    QColorDialog* dialog() const { return dialog_; }
    void openDialog();

private:
    void showColor();

    Defaults::Default<Color> color_;
    QWidget* button_;
    ColorSwatch* swatch_;
    QPointer<QColorDialog> dialog_;
};

class ColorInput : public QWidget {
    Q_OBJECT
public:
    ColorInput(const QString& title, const Defaults::Key<Color>& color, QWidget* parent = nullptr);

    QString title() const { return title_; }
    bool showsHexField() const;
    HexColorField* hexField() const { return hex_; }
    ColorPickerField* pickerField() const { return picker_; }

private:
    void showMode();

    QString title_;
    Defaults::Default<bool> useHex_;
    ColorPickerField* picker_;
    HexColorField* hex_;
};

} // namespace Tessivo::ui
