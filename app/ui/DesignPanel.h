#pragma once

// The column of styling controls of the main window. In the Basic layout
// ("layout mode" 0) it holds the foreground and background colours; in the
// Advanced layout the groups "Eyes", "Pupils", "Pixels", "Background",
// "Logo" and "Advanced". Every control writes its settings key at once and
// shows the key again whenever it changes; the logo, which is not a setting,
// is the panel's own state and is reported by logoChanged().

// Qt and the standard library first: moc needs their configuration before
// it reads the settings headers.
#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

#include "app/core/DocumentBuilder.h"
#include "app/core/ShapeLists.h"
#include "app/ui/LogoLoader.h"
#include "app/ui/ShapeThumbnails.h"
#include "settings-store/qt/Default.h"
#include "settings-store/qt/WidgetBinding.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QVBoxLayout;

namespace Tessivo::ui {

class CollapsibleGroup;
class ColorInput;
class MatchingPupilRule;
class ShapeGrid;
class SwitchToggle;

// A slider over a 32-bit key from 0 to 20 without a step. Only the user's
// moves write the key; showing a stored value never rounds it.
class ValueSlider : public QWidget {
    Q_OBJECT
public:
    static constexpr float maximum = 20.0f;
    static constexpr int stepsPerUnit = 100;

    ValueSlider(const QString& title, const Defaults::Key<float>& key, QWidget* parent = nullptr);
    QSlider* slider() const { return slider_; }
    QString title() const;

private:
    QLabel* label_;
    QSlider* slider_;
    std::unique_ptr<Defaults::WidgetBinding> binding_;
};

class DesignPanel : public QWidget {
    Q_OBJECT
public:
    // The grids show the entries of `shapes` (their thumbnails are drawn
    // from copies, so the lists stay free for rendering).
    explicit DesignPanel(const ShapeLists& shapes, QWidget* parent = nullptr);
    ~DesignPanel() override;

    // The logo as the document builder takes it.
    const LogoOptions& logo() const { return logo_; }

    // Runs the file dialog and loads the chosen file.
    void selectLogoImage();
    // Starts decoding `path`; on success the image replaces the current one.
    // A file that is no picture changes nothing and says nothing; a picture
    // that is too large leaves the logo and logoMessage() says why.
    void loadLogo(const QString& path);
    bool isLoadingLogo() const;
    LogoLoader& logoLoader() { return loader_; }
    // The last logo problem, empty when none.
    QString logoMessage() const;

    // Parts, for the window and for tests.
    ColorInput* foregroundColorInput() const { return foregroundColor_; }
    ColorInput* basicBackgroundColorInput() const { return basicBackgroundColor_; }
    ColorInput* eyeColorInput() const { return eyeColor_; }
    ColorInput* pupilColorInput() const { return pupilColor_; }
    ColorInput* pixelColorInput() const { return pixelColor_; }
    ColorInput* backgroundColorInput() const { return backgroundColor_; }
    ShapeGrid* eyeGrid() const { return eyeGrid_; }
    ShapeGrid* pupilGrid() const { return pupilGrid_; }
    ShapeGrid* pixelGrid() const { return pixelGrid_; }
    SwitchToggle* matchingPupilSwitch() const { return matchingPupil_; }
    ValueSlider* paddingSlider() const { return padding_; }
    ValueSlider* radiusSlider() const { return radius_; }
    QCheckBox* useLogoToggle() const { return useLogo_; }
    QCheckBox* maintainAspectRatioToggle() const { return maintainAspectRatio_; }
    QComboBox* logoPositionPicker() const { return logoPosition_; }
    QLabel* logoThumbnail() const { return logoThumbnail_; }
    QPushButton* selectImageButton() const { return selectImage_; }
    QComboBox* errorCorrectionPicker() const { return errorCorrection_; }
    // The six groups in order: Eyes, Pupils, Pixels, Background, Logo, Advanced.
    const std::vector<CollapsibleGroup*>& groups() const { return groups_; }
    const std::vector<QLabel*>& hints() const { return hints_; }

signals:
    void logoChanged();

private:
    QLabel* makeHint(const QString& text, QWidget* parent);
    QWidget* colourRow(ColorInput* input);
    void showStructure();
    void showLogo();
    void logoLoaded(gfx::ImagePtr image, const QImage& thumbnail);
    void logoFailed(const QString& message);

    Defaults::Default<int> layoutMode_;
    Defaults::Default<bool> unifiedColor_;
    Defaults::Default<bool> showHints_;

    QWidget* colourGroup_ = nullptr;
    QWidget* basicBackgroundRow_ = nullptr;
    ColorInput* foregroundColor_ = nullptr;
    ColorInput* basicBackgroundColor_ = nullptr;
    ColorInput* eyeColor_ = nullptr;
    ColorInput* pupilColor_ = nullptr;
    ColorInput* pixelColor_ = nullptr;
    ColorInput* backgroundColor_ = nullptr;
    std::vector<QWidget*> partColourRows_;
    ShapeGrid* eyeGrid_ = nullptr;
    ShapeGrid* pupilGrid_ = nullptr;
    ShapeGrid* pixelGrid_ = nullptr;
    SwitchToggle* matchingPupil_ = nullptr;
    ValueSlider* padding_ = nullptr;
    ValueSlider* radius_ = nullptr;
    QCheckBox* useLogo_ = nullptr;
    QCheckBox* maintainAspectRatio_ = nullptr;
    QComboBox* logoPosition_ = nullptr;
    QLabel* logoThumbnail_ = nullptr;
    QPushButton* selectImage_ = nullptr;
    QLabel* logoMessage_ = nullptr;
    QComboBox* errorCorrection_ = nullptr;
    std::vector<CollapsibleGroup*> groups_;
    std::vector<QLabel*> hints_;
    // Space above each grid and form: 10 points without hints, none with.
    std::vector<QWidget*> hintGaps_;

    LogoOptions logo_;
    LogoLoader loader_;
    MatchingPupilRule* matchingRule_ = nullptr;
    std::vector<std::unique_ptr<Defaults::WidgetBinding>> bindings_;
};

} // namespace Tessivo::ui
