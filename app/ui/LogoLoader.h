#pragma once

// Decodes a logo file off the main thread through the image module (up to
// what a document keeps of a logo, 4096 pixels a side) and reports on the
// main thread. A newer request supersedes an older one still running: only
// the last choice counts, and it is decoded at once on a thread of its own,
// never queued behind the decodes it superseded (nor do they take the
// threads the preview renders on).

#include "platform/gfx/Image.h"

#include <QFutureWatcher>
#include <QImage>
#include <QObject>
#include <QString>
#include <QThreadPool>

#include <functional>
#include <memory>

namespace Tessivo::ui {

struct LogoLoadResult {
    gfx::ImagePtr image; // null on failure
    QImage thumbnail;    // the image stretched to thumbnailSide square
    QString error;       // what to tell the user on failure; empty when the
                         // file is simply not taken (no picture)
};

// Pixels of the logo thumbnail's side (120 points on a display of up to
// twice the density).
inline constexpr int thumbnailSide = 240;

// Decodes `path` on the calling thread; never throws.
LogoLoadResult decodeLogoFile(const QString& path);

class LogoLoader : public QObject {
    Q_OBJECT
public:
    using Decode = std::function<LogoLoadResult(const QString& path)>;

    explicit LogoLoader(QObject* parent = nullptr);
    ~LogoLoader() override;

    void load(const QString& path);
    bool isLoading() const;
    // What decodes a file (decodeLogoFile unless replaced), called on the
    // decoding threads.
    void setDecode(Decode decode) { decode_ = std::move(decode); }

signals:
    void loaded(gfx::ImagePtr image, const QImage& thumbnail);
    // Only for a refusal worth saying; a file that is no picture ends the
    // load with neither signal.
    void failed(const QString& message);

private:
    Decode decode_ = decodeLogoFile;
    std::unique_ptr<QFutureWatcher<LogoLoadResult>> watcher_;
    // Destroyed first: waits for the decodes still running, whose results
    // nobody watches any more.
    QThreadPool pool_;
};

} // namespace Tessivo::ui
