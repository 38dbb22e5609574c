#include "app/ui/LogoLoader.h"

#include "image-read-write/ImageLoading.h"
#include "image-read-write/ImageReadWriteError.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPromise>

#include <exception>
#include <filesystem>

namespace Tessivo::ui {

namespace {

QString quoted(const QString& path) { return QStringLiteral("\u201C%1\u201D").arg(QFileInfo(path).fileName()); }

// The chooser takes what a document keeps of a logo: each side at most
// 4096 pixels (a larger picture would be dropped from the saved document).
constexpr int kMaxLogoSide = int(ImageReadWrite::kMaxEmbeddedImageSide);

bool tooLargeForLogo(QSize size) { return size.width() > kMaxLogoSide || size.height() > kMaxLogoSide; }

QString tooLargeMessage(const QString& path, QSize size) {
    return QStringLiteral("%1 is too large for a logo (%2 \u00D7 %3 pixels; at most %4 \u00D7 %4 pixels).")
        .arg(quoted(path))
        .arg(size.width())
        .arg(size.height())
        .arg(kMaxLogoSide);
}

// What to tell the user when the image module refused the file. A file
// that is no picture (or no readable one) is simply not taken, as an open
// panel's wrong choice is; a picture too large for a logo is one the user
// means to use, so that refusal is said. The header, read by Qt without
// decoding, tells the two apart.
QString refusal(const QString& path) {
    QImageReader reader(path);
    const QSize size = reader.size();
    if (size.isValid() && tooLargeForLogo(size)) return tooLargeMessage(path, size);
    return {};
}

} // namespace

LogoLoadResult decodeLogoFile(const QString& path) {
    try {
        // The cap holds each side to kMaxLogoSide before any pixel is
        // decoded, so whatever loads fits a logo.
        gfx::ImagePtr image = ImageReadWrite::loadFile(std::filesystem::path(path.toStdString()),
                                                       ImageReadWrite::kMaxEmbeddedImagePixels);
        if (image && !image->empty()) {
            // Scaled here, once: a large picture is never scaled on the main
            // thread. Stretched to the square, as the thumbnail shows it.
            const QImage view(image->data(), image->width(), image->height(), image->stride(),
                              QImage::Format_ARGB32_Premultiplied);
            QImage thumbnail =
                view.scaled(thumbnailSide, thumbnailSide, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            return {std::move(image), std::move(thumbnail), {}};
        }
    } catch (const std::exception&) {
        // told apart below
    }
    return {nullptr, {}, refusal(path)};
}

LogoLoader::LogoLoader(QObject* parent) : QObject(parent) {}

LogoLoader::~LogoLoader() {
    // A decode still running finishes into a promise nobody watches.
    if (watcher_) watcher_->disconnect(this);
}

bool LogoLoader::isLoading() const { return watcher_ && watcher_->isRunning(); }

void LogoLoader::load(const QString& path) {
    if (watcher_) watcher_->disconnect(this); // superseded
    auto promise = std::make_shared<QPromise<LogoLoadResult>>();
    auto watcher = std::make_unique<QFutureWatcher<LogoLoadResult>>();
    QFutureWatcher<LogoLoadResult>* raw = watcher.get();
    connect(raw, &QFutureWatcherBase::finished, this, [this, raw] {
        if (watcher_.get() != raw) return;
        const QFuture<LogoLoadResult> future = raw->future();
        const LogoLoadResult result = future.resultCount() > 0 ? future.result() : LogoLoadResult{};
        if (result.image)
            emit loaded(result.image, result.thumbnail);
        else if (!result.error.isEmpty())
            emit failed(result.error);
    });
    raw->setFuture(promise->future());
    watcher_ = std::move(watcher);
    promise->start();
    // A thread of its own, started now whatever still runs.
    pool_.setMaxThreadCount(pool_.activeThreadCount() + 1);
    pool_.start([promise, path, decode = decode_] {
        promise->addResult(decode(path));
        promise->finish();
    });
}

} // namespace Tessivo::ui
