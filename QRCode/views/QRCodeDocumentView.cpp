#include "QRCode/views/QRCodeDocumentView.h"

#include "QRCode/views/PlatformImage.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPointer>
#include <QThreadPool>

#include <cmath>
#include <exception>
#include <memory>

// A small spinning indicator, hidden while stopped.
class BusyIndicator : public QWidget {
public:
    explicit BusyIndicator(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
        timer_.setInterval(80);
        connect(&timer_, &QTimer::timeout, this, [this] {
            step_ = (step_ + 1) % kSpokes;
            update();
        });
    }

    void start() {
        show();
        raise();
        timer_.start();
    }
    void stop() {
        timer_.stop();
        hide();
    }
    bool isAnimating() const { return timer_.isActive(); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const double side = std::min(width(), height());
        p.translate(width() / 2.0, height() / 2.0);
        for (int i = 0; i < kSpokes; ++i) {
            QColor c = palette().color(QPalette::WindowText);
            c.setAlphaF(float(0.15 + 0.85 * double((i + kSpokes - step_) % kSpokes) / kSpokes));
            p.setPen(QPen(c, side / 10, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(0, -side * 0.22), QPointF(0, -side * 0.44));
            p.rotate(360.0 / kSpokes);
        }
    }

private:
    static constexpr int kSpokes = 12;
    QTimer timer_;
    int step_ = 0;
};

namespace {

// What a worker needs to render, taken on the main thread so that the
// owner may go on changing the document while the worker draws.
struct RenderSnapshot {
    QRCode::QRCode qrcode;
    QRCode::DesignPtr design;
    QRCode::LogoTemplatePtr logoTemplate;
};

std::shared_ptr<RenderSnapshot> takeSnapshot(const QRCode::DocumentPtr& document) {
    if (!document || !document->isMatrixCurrent()) return nullptr;
    try {
        auto snapshot = std::make_shared<RenderSnapshot>();
        snapshot->qrcode = document->qrcode().copy();
        snapshot->design = document->design()->copy();
        if (const auto& logo = document->logoTemplate()) {
            snapshot->logoTemplate = logo->copyLogoTemplate();
            if (!snapshot->logoTemplate) return nullptr;
        }
        return snapshot;
    } catch (const std::exception&) {
        return nullptr;
    }
}

QImage renderSnapshot(const RenderSnapshot* snapshot, int pixels, double devicePixelRatio) {
    if (snapshot == nullptr) return {};
    try {
        return QRCode::views::platformImage(snapshot->qrcode, gfx::Size{double(pixels), double(pixels)},
                                            72 * devicePixelRatio, *snapshot->design, snapshot->logoTemplate.get());
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace

QRCodeDocumentView::QRCodeDocumentView(QRCode::DocumentPtr document, QWidget* parent)
    : QWidget(parent), busyIndicator_(new BusyIndicator(this)) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    debounce_.setSingleShot(true);
    debounce_.setInterval(kDebounceMilliseconds);
    connect(&debounce_, &QTimer::timeout, this, &QRCodeDocumentView::handleChange);
    progressDelay_.setSingleShot(true);
    progressDelay_.setInterval(kProgressDelayMilliseconds);
    connect(&progressDelay_, &QTimer::timeout, this, &QRCodeDocumentView::progressDelayElapsed);
    busyIndicator_->setGeometry(busyIndicatorGeometry());
    submitChange(std::move(document));
}

QRCodeDocumentView::~QRCodeDocumentView() = default;

void QRCodeDocumentView::setDocument(QRCode::DocumentPtr document) { submitChange(std::move(document)); }

void QRCodeDocumentView::submitChange(QRCode::DocumentPtr document) {
    document_ = document;
    pendingDocument_ = std::move(document);
    debounce_.start(); // restarts: only the last change of a burst is handled
}

bool QRCodeDocumentView::isBusy() const { return busyIndicator_->isAnimating(); }

QRect QRCodeDocumentView::busyIndicatorGeometry() const {
    return QRect(int(width() * 0.5 - 16), int(height() * 0.5 - 16), 32, 32);
}

void QRCodeDocumentView::handleChange() {
    if (!progressArmed_) {
        progressArmed_ = true;
        progressDelay_.start();
    }
    const std::uint64_t sequence = ++submittedSequence_;
    std::shared_ptr<const RenderSnapshot> snapshot = takeSnapshot(pendingDocument_);
    pendingDocument_.reset();
    const double ratio = devicePixelRatioF();
    const int pixels = int(std::ceil(kRenderDimension * ratio));
    QPointer<QRCodeDocumentView> view(this);
    emit renderStarted();
    QThreadPool::globalInstance()->start(
        [view, sequence, snapshot, pixels, ratio] {
            QImage image = renderSnapshot(snapshot.get(), pixels, ratio);
            QCoreApplication* app = QCoreApplication::instance();
            if (app == nullptr) return;
            QMetaObject::invokeMethod(
                app,
                [view, sequence, image = std::move(image)]() mutable {
                    if (view) view->display(sequence, std::move(image));
                },
                Qt::QueuedConnection);
        },
        QThread::LowPriority);
}

void QRCodeDocumentView::display(std::uint64_t sequence, QImage image) {
    // Renderings run side by side and may finish out of order; an older
    // document never replaces a newer one on screen.
    if (sequence < displayedSequence_) return;
    displayedSequence_ = sequence;
    image_ = std::move(image);
    if (sequence == submittedSequence_) {
        progressDelay_.stop();
        progressArmed_ = false;
        opacity_ = 1.0;
        busyIndicator_->stop();
    }
    update();
    emit imageDisplayed();
}

void QRCodeDocumentView::progressDelayElapsed() {
    opacity_ = 0.2;
    busyIndicator_->start();
    update();
}

void QRCodeDocumentView::paintEvent(QPaintEvent*) {
    if (image_.isNull()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setOpacity(opacity_);
    const QSizeF imageSize = image_.deviceIndependentSize();
    QSizeF fitted = imageSize.scaled(QSizeF(size()), Qt::KeepAspectRatio);
    const QRectF target(QPointF((width() - fitted.width()) / 2.0, (height() - fitted.height()) / 2.0), fitted);
    painter.drawImage(target, image_);
}

void QRCodeDocumentView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    busyIndicator_->setGeometry(busyIndicatorGeometry());
}
