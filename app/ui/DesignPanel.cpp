#include "app/ui/DesignPanel.h"

#include "app/core/SettingsKeys.h"
#include "app/ui/CollapsibleGroup.h"
#include "app/ui/ColorInput.h"
#include "app/ui/MatchingPupil.h"
#include "app/ui/ShapeSelector.h"

#include "app/ui/SwitchToggle.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace Tessivo::ui {

namespace {

constexpr int hintGap = 10;

// A small circled minus or plus in the text colour, for the ends of a slider.
QPixmap circleSymbol(bool plus, const QColor& colour, qreal ratio) {
    const int side = 16;
    QPixmap pixmap(int(side * ratio), int(side * ratio));
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, 1.3));
    painter.drawEllipse(QRectF(1.5, 1.5, side - 3, side - 3));
    painter.drawLine(QPointF(5, side / 2.0), QPointF(side - 5, side / 2.0));
    if (plus) painter.drawLine(QPointF(side / 2.0, 5), QPointF(side / 2.0, side - 5));
    return pixmap;
}

QWidget* gap(QWidget* parent) {
    auto* spacer = new QWidget(parent);
    spacer->setFixedHeight(hintGap);
    return spacer;
}

// The panel scrolls: a wheel turned over a picker or slider that the user
// has not clicked into scrolls the panel instead of changing the value
// under the pointer. Ignored and reported handled, the event goes on to
// the parent widgets, up to the scroll area.
class WheelGuard : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Wheel) {
            if (auto* widget = qobject_cast<QWidget*>(watched); widget && !widget->hasFocus()) {
                event->ignore();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

// A picker under its title, both at the row's leading edge, like the
// sliders: the same at every width, whatever the title's length.
QWidget* captioned(const QString& title, QComboBox* picker, QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    auto* label = new QLabel(title, box);
    label->setBuddy(picker);
    picker->setParent(box);
    picker->setMaximumWidth(300);
    picker->setAccessibleName(title);
    column->addWidget(label);
    column->addWidget(picker);
    return box;
}

QFrame* divider(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

// ValueSlider

ValueSlider::ValueSlider(const QString& title, const Defaults::Key<float>& key, QWidget* parent)
    : QWidget(parent), label_(new QLabel(title, this)), slider_(new QSlider(Qt::Horizontal, this)) {
    setObjectName(title);
    slider_->setRange(0, int(maximum) * stepsPerUnit);
    slider_->setSingleStep(stepsPerUnit / 10);
    slider_->setPageStep(stepsPerUnit);
    slider_->setAccessibleName(title);
    const QColor symbolColour = palette().color(QPalette::WindowText);
    auto* minus = new QLabel(this);
    minus->setPixmap(circleSymbol(false, symbolColour, devicePixelRatioF()));
    auto* plus = new QLabel(this);
    plus->setPixmap(circleSymbol(true, symbolColour, devicePixelRatioF()));

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    column->addWidget(label_);
    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    row->addWidget(minus);
    row->addWidget(slider_, 1);
    row->addWidget(plus);
    auto* track = new QWidget(this);
    track->setLayout(row);
    row->setContentsMargins(0, 0, 0, 0);
    track->setMaximumWidth(300);
    column->addWidget(track);

    binding_ = Defaults::bindWidget(
        key, slider_, &QSlider::valueChanged,
        [](QSlider& s, float value) {
            const float shown = std::isfinite(value) ? std::clamp(value, 0.0f, maximum) : 0.0f;
            s.setValue(int(std::lround(shown * stepsPerUnit)));
        },
        [](const QSlider& s) { return float(s.value()) / stepsPerUnit; });
}

QString ValueSlider::title() const { return label_->text(); }

// DesignPanel

DesignPanel::DesignPanel(const ShapeLists& shapes, QWidget* parent)
    : QWidget(parent), layoutMode_(Keys::layoutMode()), unifiedColor_(Keys::unifiedColor()),
      showHints_(Keys::showHints()) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);

    // The colour group at the top (Basic layout, or one colour for all).
    colourGroup_ = new QWidget(this);
    {
        auto* rows = new QVBoxLayout(colourGroup_);
        rows->setContentsMargins(0, 0, 0, 0);
        rows->setSpacing(0);
        foregroundColor_ = new ColorInput("Foreground color", Keys::fgUnifiedColor(), colourGroup_);
        rows->addWidget(foregroundColor_);
        rows->addSpacing(6);
        basicBackgroundRow_ = new QWidget(colourGroup_);
        auto* backgroundRow = new QVBoxLayout(basicBackgroundRow_);
        backgroundRow->setContentsMargins(0, 0, 0, 6);
        basicBackgroundColor_ = new ColorInput("Background color", Keys::backgroundColor(), basicBackgroundRow_);
        backgroundRow->addWidget(basicBackgroundColor_);
        rows->addWidget(basicBackgroundRow_);
        rows->addWidget(divider(colourGroup_));
        rows->addSpacing(4);
    }
    column->addWidget(colourGroup_);

    auto addGroup = [&](const QString& title, const Defaults::Key<bool>& expanded) {
        auto* group = new CollapsibleGroup(title, expanded, this);
        groups_.push_back(group);
        column->addWidget(group);
        return group;
    };
    auto addGap = [&](QVBoxLayout* rows, QWidget* parentWidget) {
        QWidget* spacer = gap(parentWidget);
        hintGaps_.push_back(spacer);
        rows->addWidget(spacer);
    };
    auto contentLayout = [](CollapsibleGroup* group) { return static_cast<QVBoxLayout*>(group->content()->layout()); };

    // Eyes, Pupils, Pixels: hint, grid, colour.
    auto* eyes = addGroup("Eyes", Keys::expandedEyeShape());
    {
        QVBoxLayout* rows = contentLayout(eyes);
        rows->addWidget(
            makeHint("\"Eyes\" are the forms at the 3 corners - here, you can change their shape as well as "
                     "their color",
                     eyes->content()));
        addGap(rows, eyes->content());
        eyeGrid_ =
            new ShapeGrid(ShapeKind::eye, std::make_shared<ShapeThumbnails>(ShapeThumbnails::eyes(shapes.eyeShapes)),
                          Keys::eyeShapeIdx(), eyes->content());
        rows->addWidget(eyeGrid_);
        eyeColor_ = new ColorInput("Eye color", Keys::fgEyeColor(), eyes->content());
        rows->addWidget(colourRow(eyeColor_));
    }
    auto* pupils = addGroup("Pupils", Keys::expandedPupilShape());
    {
        QVBoxLayout* rows = contentLayout(pupils);
        rows->addWidget(makeHint("\"Pupils\" are the forms inside the \"eyes\", again at the 3 corners - here, you may "
                                 "also change their shape as well as their color",
                                 pupils->content()));
        addGap(rows, pupils->content());
        pupilGrid_ = new ShapeGrid(ShapeKind::pupil,
                                   std::make_shared<ShapeThumbnails>(ShapeThumbnails::pupils(shapes.pupilShapes)),
                                   Keys::pupilShapeIdx(), pupils->content());
        rows->addWidget(pupilGrid_);
        matchingPupil_ = new SwitchToggle("Matching Pupil", Keys::matchingPupil(), pupils->content());
        auto* matchingRow = new QHBoxLayout;
        matchingRow->addStretch(1);
        matchingRow->addWidget(matchingPupil_);
        rows->addLayout(matchingRow);
        pupilColor_ = new ColorInput("Pupil color", Keys::fgPupilColor(), pupils->content());
        rows->addWidget(colourRow(pupilColor_));
    }
    auto* pixels = addGroup("Pixels", Keys::expandedPixelShape());
    {
        QVBoxLayout* rows = contentLayout(pixels);
        rows->addWidget(
            makeHint("Here, you can adjust the shape and color of the inner pixels, that is: the main content",
                     pixels->content()));
        addGap(rows, pixels->content());
        pixelGrid_ = new ShapeGrid(ShapeKind::pixel,
                                   std::make_shared<ShapeThumbnails>(ShapeThumbnails::pixels(shapes.pixelShapes)),
                                   Keys::pixelShapeIdx(), pixels->content());
        rows->addWidget(pixelGrid_);
        pixelColor_ = new ColorInput("Pixel color", Keys::fgPixelColor(), pixels->content());
        rows->addWidget(colourRow(pixelColor_));
    }
    auto* background = addGroup("Background", Keys::expandedBackground());
    {
        QVBoxLayout* rows = contentLayout(background);
        QLabel* hint = makeHint("Change the background color, adjust the padding - in case you need one - or added "
                                "rounded borders!",
                                background->content());
        hint->setContentsMargins(0, 0, 0, hintGap);
        rows->addWidget(hint);
        addGap(rows, background->content());
        backgroundColor_ = new ColorInput("Background color", Keys::backgroundColor(), background->content());
        rows->addWidget(backgroundColor_);
        padding_ = new ValueSlider("Background padding", Keys::backgroundPadding(), background->content());
        rows->addWidget(padding_);
        radius_ = new ValueSlider("Background radius", Keys::backgroundRadius(), background->content());
        rows->addWidget(radius_);
    }
    auto* logoGroup = addGroup("Logo", Keys::expandedLogo());
    {
        QVBoxLayout* rows = contentLayout(logoGroup);
        QWidget* content = logoGroup->content();
        QLabel* hint = makeHint("Do you have a logo that you want to embed? Here's the place!", content);
        hint->setContentsMargins(0, 0, 0, hintGap);
        rows->addWidget(hint);
        addGap(rows, content);
        useLogo_ = new QCheckBox("Use logo", content);
        rows->addWidget(useLogo_);
        maintainAspectRatio_ = new QCheckBox("Maintain aspect ratio", content);
        maintainAspectRatio_->setChecked(logo_.maintainAspectRatio);
        rows->addWidget(maintainAspectRatio_);
        logoPosition_ = new QComboBox(content);
        logoPosition_->addItems({"Center", "Lower-right corner"});
        rows->addWidget(captioned("Position", logoPosition_, content));
        logoThumbnail_ = new QLabel(content);
        logoThumbnail_->setFixedSize(120, 120);
        logoThumbnail_->setScaledContents(true); // stretched to its frame
        logoThumbnail_->setAccessibleName(QString());
        rows->addWidget(logoThumbnail_);
        selectImage_ = new QPushButton("Select image", content);
        auto* buttonRow = new QHBoxLayout;
        buttonRow->addWidget(selectImage_);
        buttonRow->addStretch(1);
        rows->addLayout(buttonRow);
        logoMessage_ = new QLabel(content);
        logoMessage_->setWordWrap(true);
        logoMessage_->setObjectName("logoMessage");
        QPalette warning = logoMessage_->palette();
        warning.setColor(QPalette::WindowText, QColor(0xC0, 0x1C, 0x28));
        logoMessage_->setPalette(warning);
        logoMessage_->hide();
        rows->addWidget(logoMessage_);

        connect(useLogo_, &QCheckBox::toggled, this, [this](bool on) {
            logo_.active = on;
            showLogo();
            emit logoChanged();
        });
        connect(maintainAspectRatio_, &QCheckBox::toggled, this, [this](bool on) {
            logo_.maintainAspectRatio = on;
            emit logoChanged();
        });
        connect(logoPosition_, &QComboBox::currentIndexChanged, this, [this](int index) {
            logo_.position = index;
            emit logoChanged();
        });
        connect(selectImage_, &QPushButton::clicked, this, [this] { selectLogoImage(); });
        connect(&loader_, &LogoLoader::loaded, this,
                [this](gfx::ImagePtr image, const QImage& thumbnail) { logoLoaded(std::move(image), thumbnail); });
        connect(&loader_, &LogoLoader::failed, this, [this](const QString& message) { logoFailed(message); });
    }
    auto* advanced = addGroup("Advanced", Keys::expandedAdvanced());
    {
        QVBoxLayout* rows = contentLayout(advanced);
        QWidget* content = advanced->content();
        QLabel* hint = makeHint("Higher error correction lets the QR code survive more damage (or a bigger logo) but "
                                "fits less data. Lower it if your message is too long.",
                                content);
        hint->setContentsMargins(0, 0, 0, hintGap);
        rows->addWidget(hint);
        addGap(rows, content);
        errorCorrection_ = new QComboBox(content);
        errorCorrection_->addItems({"Low (~7%)", "Medium (~15%)", "Quartile (~25%)", "High (~30%)"});
        rows->addWidget(captioned("Error correction", errorCorrection_, content));
        // Any stored value but 0...2 is taken as High, and shown so.
        bindings_.push_back(Defaults::bindWidget(
            Keys::errorCorrection(), errorCorrection_, &QComboBox::activated,
            [](QComboBox& box, int value) { box.setCurrentIndex(value >= 0 && value <= 3 ? value : 3); },
            [](const QComboBox& box) { return box.currentIndex(); }));
    }
    column->addStretch(1);

    matchingRule_ = new MatchingPupilRule(this);

    auto* guard = new WheelGuard(this);
    for (QWidget* control : findChildren<QComboBox*>()) {
        control->setFocusPolicy(Qt::StrongFocus);
        control->installEventFilter(guard);
    }
    for (QWidget* control : findChildren<QSlider*>()) {
        control->setFocusPolicy(Qt::StrongFocus);
        control->installEventFilter(guard);
    }

    for (auto* observable : {static_cast<Defaults::ObservableBase*>(&layoutMode_.observable()),
                             static_cast<Defaults::ObservableBase*>(&unifiedColor_.observable()),
                             static_cast<Defaults::ObservableBase*>(&showHints_.observable())}) {
        connect(observable, &Defaults::ObservableBase::objectWillChange, this, [this] { showStructure(); });
    }
    showStructure();
    showLogo();
}

DesignPanel::~DesignPanel() = default;

QLabel* DesignPanel::makeHint(const QString& text, QWidget* parent) {
    auto* hint = new QLabel(text, parent);
    hint->setWordWrap(true);
    QPalette dimmed = hint->palette();
    dimmed.setColor(QPalette::WindowText, dimmed.color(QPalette::PlaceholderText));
    hint->setPalette(dimmed);
    // The platform's standard spacing around it, 10 points more below.
    hint->setContentsMargins(6, 6, 6, 6 + hintGap);
    hints_.push_back(hint);
    return hint;
}

QWidget* DesignPanel::colourRow(ColorInput* input) {
    // The row spans the width, its swatch against the trailing edge.
    partColourRows_.push_back(input);
    return input;
}

void DesignPanel::showStructure() {
    const bool basic = layoutMode_.wrappedValue() == 0;
    const bool unified = unifiedColor_.wrappedValue();
    const bool hints = showHints_.wrappedValue();

    colourGroup_->setVisible(basic || unified);
    basicBackgroundRow_->setVisible(basic);
    for (auto* group : groups_) group->setVisible(!basic);
    for (auto* row : partColourRows_) row->setVisible(!unified);
    for (auto* hint : hints_) hint->setVisible(hints);
    for (auto* spacer : hintGaps_) spacer->setVisible(!hints);
}

void DesignPanel::showLogo() {
    const bool active = logo_.active;
    maintainAspectRatio_->setEnabled(active);
    logoPosition_->setEnabled(active);
    logoThumbnail_->setEnabled(active);
    selectImage_->setEnabled(active);
    logoThumbnail_->setVisible(logo_.image != nullptr);
}

void DesignPanel::selectLogoImage() {
    QFileDialog dialog(this, "Select image");
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted) return;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return;
    loadLogo(chosen.front());
}

void DesignPanel::loadLogo(const QString& path) { loader_.load(path); }

bool DesignPanel::isLoadingLogo() const { return loader_.isLoading(); }

QString DesignPanel::logoMessage() const { return logoMessage_->isHidden() ? QString() : logoMessage_->text(); }

void DesignPanel::logoLoaded(gfx::ImagePtr image, const QImage& thumbnail) {
    logo_.image = std::move(image);
    logoThumbnail_->setPixmap(QPixmap::fromImage(thumbnail));
    logoMessage_->clear();
    logoMessage_->hide();
    showLogo();
    emit logoChanged();
}

void DesignPanel::logoFailed(const QString& message) {
    logoMessage_->setText(message);
    logoMessage_->show();
    // The message sits at the end of the logo group, often below what the
    // panel shows: bring it into view once the panel has made room for it.
    QTimer::singleShot(0, logoMessage_, [this] {
        for (QWidget* w = parentWidget(); w; w = w->parentWidget())
            if (auto* scroll = qobject_cast<QScrollArea*>(w)) {
                if (QLayout* panelLayout = layout()) panelLayout->activate();
                scroll->ensureWidgetVisible(logoMessage_, 0, 6);
                return;
            }
    });
}

} // namespace Tessivo::ui
