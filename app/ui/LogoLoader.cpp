#include "app/ui/LogoLoader.h"

#include "image-read-write/ImageLoading.h"
#include "image-read-write/ImageReadWriteError.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPromise>
#include <QThreadPool>

#include <exception>
#include <filesystem>
#include <fstream>

namespace Tessivo::ui {

namespace {

QString quoted(const QString& path) { return QStringLiteral("\u201C%1\u201D").arg(QFileInfo(path).fileName()); }

// The chooser takes what a document keeps of a logo: each side at most
// 4096 pixels (a larger picture would be dropped from the saved document).
constexpr int kMaxLogoSide = 4096;
static_assert(std::int64_t(kMaxLogoSide) * kMaxLogoSide == ImageReadWrite::kMaxEmbeddedImagePixels);

bool tooLargeForLogo(QSize size) { return size.width() > kMaxLogoSide || size.height() > kMaxLogoSide; }

QString tooLargeMessage(const QString& path, QSize size) {
    return QStringLiteral("%1 is too large for a logo (%2 \u00D7 %3 pixels; at most %4 \u00D7 %4 pixels).")
        .arg(quoted(path))
        .arg(size.width())
        .arg(size.height())
        .arg(kMaxLogoSide);
}

// Why a file the image module refused could not be used. The module says
// only that it could not decode; the header, read by Qt without decoding,
// tells a picture that is too large from one that is no picture at all.
QString refusal(const QString& path) {
    const std::filesystem::path file(path.toStdString());
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        return QStringLiteral("%1 could not be found. It may have been moved or deleted.").arg(quoted(path));
    }
    if (!std::filesystem::is_regular_file(file, ec) || !std::ifstream(file, std::ios::binary)) {
        return QStringLiteral("%1 could not be read.").arg(quoted(path));
    }
    QImageReader reader(path);
    const QSize size = reader.size();
    if (size.isValid() && tooLargeForLogo(size)) return tooLargeMessage(path, size);
    return QStringLiteral("%1 is not an image that can be used as a logo. Choose a PNG, JPEG, TIFF, GIF or HEIC file.")
        .arg(quoted(path));
}

} // namespace

LogoLoadResult decodeLogoFile(const QString& path) {
    try {
        gfx::ImagePtr image = ImageReadWrite::loadFile(std::filesystem::path(path.toStdString()),
                                                       ImageReadWrite::kMaxEmbeddedImagePixels);
        if (image && tooLargeForLogo(QSize(image->width(), image->height()))) {
            return {nullptr, {}, tooLargeMessage(path, QSize(image->width(), image->height()))};
        }
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
        else
            emit failed(result.error.isEmpty() ? QStringLiteral("The image could not be loaded.") : result.error);
    });
    raw->setFuture(promise->future());
    watcher_ = std::move(watcher);
    promise->start();
    QThreadPool::globalInstance()->start([promise, path] {
        promise->addResult(decodeLogoFile(path));
        promise->finish();
    });
}

} // namespace Tessivo::ui
