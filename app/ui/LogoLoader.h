#pragma once

// Decodes a logo file off the main thread through the image module (which
// refuses images above its pixel limit) and reports on the main thread. A
// newer request supersedes an older one still running: only the last
// choice counts.

#include "platform/gfx/Image.h"

#include <QFutureWatcher>
#include <QObject>
#include <QString>

#include <memory>

namespace Tessivo::ui {

struct LogoLoadResult {
    gfx::ImagePtr image; // null on failure
    QString error;       // what to tell the user on failure
};

// Decodes `path` on the calling thread; never throws.
LogoLoadResult decodeLogoFile(const QString& path);

class LogoLoader : public QObject {
    Q_OBJECT
public:
    explicit LogoLoader(QObject* parent = nullptr);
    ~LogoLoader() override;

    void load(const QString& path);
    bool isLoading() const;

signals:
    void loaded(gfx::ImagePtr image);
    void failed(const QString& message);

private:
    std::unique_ptr<QFutureWatcher<LogoLoadResult>> watcher_;
};

} // namespace Tessivo::ui
