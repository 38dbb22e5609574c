#include "app/ui/PreviewView.h"

#include "app/core/MainWindowState.h"

#include "QRCode/views/ImageConversion.h"

#include <QMetaObject>
#include <QPainter>
#include <QPainterPath>
#include <QThreadPool>
#include <QTimer>

namespace Tessivo::ui {

PreviewView::PreviewView(QWidget* parent) : QWidget(parent) {
    setFixedSize(side, side);
    setAccessibleName(QString());
}

void PreviewView::showPlaceholder() {
    content_ = Content::placeholder;
    image_.reset();
    shown_ = QImage();
    update();
}

void PreviewView::showWarning() {
    content_ = Content::warning;
    image_.reset();
    shown_ = QImage();
    update();
}

void PreviewView::showCode(gfx::ImagePtr image) {
    content_ = Content::code;
    image_ = std::move(image);
    shown_ = QRCode::views::toQImage(image_.get());
    update();
}

namespace {

// A small QR-like glyph: three finder squares and a few modules.
void drawCodeGlyph(QPainter& p, QRectF box, const QColor& color) {
    const double m = box.width() / 7;
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    auto finder = [&](double x, double y) {
        QPainterPath path;
        path.addRect(QRectF(x, y, 3 * m, 3 * m));
        path.addRect(QRectF(x + m * 0.6, y + m * 0.6, m * 1.8, m * 1.8));
        path.addRect(QRectF(x + m, y + m, m, m));
        p.drawPath(path);
    };
    finder(box.left(), box.top());
    finder(box.left() + 4 * m, box.top());
    finder(box.left(), box.top() + 4 * m);
    for (auto [cx, cy] : {std::pair{4, 4}, {6, 4}, {5, 5}, {4, 6}, {6, 6}})
        p.drawRect(QRectF(box.left() + cx * m, box.top() + cy * m, m, m));
}

void drawWarningGlyph(QPainter& p, QRectF box) {
    QPainterPath triangle;
    triangle.moveTo(box.center().x(), box.top());
    triangle.lineTo(box.right(), box.bottom());
    triangle.lineTo(box.left(), box.bottom());
    triangle.closeSubpath();
    p.setPen(QPen(QColor(255, 149, 0), box.width() * 0.08, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(255, 149, 0));
    p.drawPath(triangle);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    const double w = box.width() * 0.1;
    p.drawRoundedRect(QRectF(box.center().x() - w / 2, box.top() + box.height() * 0.3, w, box.height() * 0.38), w / 2,
                      w / 2);
    p.drawEllipse(QRectF(box.center().x() - w / 2, box.bottom() - box.height() * 0.22, w, w));
}

} // namespace

void PreviewView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (content_ == Content::code && !shown_.isNull()) {
        p.drawImage(rect(), shown_);
        return;
    }
    p.fillRect(rect(), palette().window());
    QColor secondary = palette().color(QPalette::WindowText);
    secondary.setAlphaF(0.55);
    QFont font = p.font();
    const QRectF glyph(side / 2.0 - 30, 0, 60, 60);

    if (content_ == Content::placeholder) {
        const QString text = tr("Enter a message to generate a QR code");
        const QRectF textBox(16, 0, side - 32, 60);
        const double top = side / 2.0 - (60 + 8 + 20) / 2.0;
        drawCodeGlyph(p, glyph.translated(0, top), secondary);
        p.setPen(secondary);
        p.drawText(textBox.translated(0, top + 68), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, text);
        return;
    }

    // Warning.
    const double top = side / 2.0 - 80;
    drawWarningGlyph(p, glyph.translated(0, top));
    QFont bold = font;
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(QRectF(30, top + 70, side - 60, 24), Qt::AlignHCenter | Qt::AlignTop, tr("Message too long"));
    p.setFont(font);
    p.setPen(secondary);
    p.drawText(QRectF(30, top + 100, side - 60, 80), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
               tr("The message exceeds what fits at the current error correction level. Lower it in Advanced, or "
                  "shorten the text."));
}

PreviewRenderer::PreviewRenderer(const MainWindowState& state, PreviewView& view, QObject* parent)
    : QObject(parent), state_(state), view_(&view),
      workerShapes_(std::make_shared<const ShapeLists>(state.shapes.copy())), mailbox_(std::make_shared<Mailbox>()) {
    mailbox_->target = this;
}

PreviewRenderer::~PreviewRenderer() {
    std::lock_guard lock(mailbox_->mutex);
    mailbox_->target = nullptr;
}

void PreviewRenderer::schedule() {
    if (scheduled_) return;
    scheduled_ = true;
    QTimer::singleShot(0, this, &PreviewRenderer::rebuild);
}

void PreviewRenderer::rebuild() {
    scheduled_ = false;
    if (!view_) return;
    std::string text = state_.messageText();
    if (text.empty()) {
        // No rendering needed; whatever runs now is out of date.
        ++generation_;
        pending_ = false;
        view_->showPlaceholder();
        emit updated();
        return;
    }
    if (running_) {
        pending_ = true;
        return;
    }
    running_ = true;
    const std::uint64_t generation = ++generation_;
    // A kept fit stands in for the picture (already fitted, so taken as it
    // is); otherwise the job fits it and hands the fit back.
    LogoOptions logo = state_.logo;
    FittedLogo fit;
    if (!logo.image) fittedLogo_ = {};
    if (logo.active && logo.maintainAspectRatio && logo.image && !logo.image->empty()) {
        const bool centered = logo.position == 0;
        if (fittedLogo_.source == logo.image && fittedLogo_.centered == centered) {
            logo.image = fittedLogo_.fitted;
            logo.maintainAspectRatio = false;
        } else {
            fit = {logo.image, centered, nullptr};
        }
    }
    // The job owns copies of everything it reads; the worker shapes serve
    // one rendering at a time because only one job runs at once. It posts
    // its result through the mailbox, which the renderer closes when it is
    // destroyed (events posted to a destroyed object are dropped).
    QThreadPool::globalInstance()->start([mailbox = mailbox_, generation, text = std::move(text),
                                          design = DesignValues::fromSettings(), logo = std::move(logo),
                                          fit = std::move(fit), shapes = workerShapes_]() mutable {
        if (fit.source) {
            fit.fitted = fitLogoImage(*fit.source, logoCanvasSide, fit.centered);
            logo.image = fit.fitted;
            logo.maintainAspectRatio = false;
        }
        gfx::ImagePtr image = makeQRImage(text, design, logo, *shapes);
        std::lock_guard lock(mailbox->mutex);
        if (!mailbox->target) return;
        PreviewRenderer* target = mailbox->target;
        QMetaObject::invokeMethod(
            target,
            [target, generation, image = std::move(image), fit = std::move(fit)]() mutable {
                target->finished(generation, std::move(image), std::move(fit));
            },
            Qt::QueuedConnection);
    });
}

void PreviewRenderer::finished(std::uint64_t generation, gfx::ImagePtr image, FittedLogo fit) {
    running_ = false;
    if (fit.source) fittedLogo_ = std::move(fit);
    if (generation == generation_ && view_) {
        if (image)
            view_->showCode(std::move(image));
        else
            view_->showWarning();
    }
    if (pending_) {
        pending_ = false;
        rebuild();
        return;
    }
    if (generation == generation_) emit updated();
}

} // namespace Tessivo::ui
