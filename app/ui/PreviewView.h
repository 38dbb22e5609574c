#pragma once

// The live preview: the code as a 540 x 540 picture, a placeholder while
// there is no message, or a warning when the message cannot be made into a
// code. PreviewRenderer rebuilds it after changes, off the main thread.

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <mutex>

namespace gfx {
class Image;
using ImagePtr = std::shared_ptr<const Image>;
} // namespace gfx

namespace Tessivo {
class MainWindowState;
struct ShapeLists;
} // namespace Tessivo

namespace Tessivo::ui {

class PreviewView : public QWidget {
    Q_OBJECT
public:
    enum class Content { placeholder, code, warning };
    static constexpr int side = 540;

    explicit PreviewView(QWidget* parent = nullptr);

    void showPlaceholder();
    void showWarning();
    void showCode(gfx::ImagePtr image);

    Content content() const { return content_; }
    // The 1024 x 1024 image shown while the content is a code, else null.
    const gfx::ImagePtr& codeImage() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Content content_ = Content::placeholder;
    gfx::ImagePtr image_;
    QImage shown_;
};

// Rebuilds the preview from the window's state and the settings. Changes
// that arrive within one turn of the event loop give one rebuild. The image
// is rendered on a pool thread with shape generators of its own; while one
// rendering runs, later changes wait and give one more rendering with the
// newest values, so typing never queues up stale work.
class PreviewRenderer : public QObject {
    Q_OBJECT
public:
    PreviewRenderer(const MainWindowState& state, PreviewView& view, QObject* parent = nullptr);
    ~PreviewRenderer() override;

    // Asks for a rebuild at the next turn of the event loop.
    void schedule();
    // True while a rebuild is asked for or running.
    bool isBusy() const { return scheduled_ || running_ || pending_; }

signals:
    // The view shows the result of the newest values.
    void updated();

private:
    // The logo picture fitted to its canvas. Fitting a large picture costs
    // more than the rest of a rendering, so it is kept between renderings
    // and done again only for another picture or position.
    struct FittedLogo {
        gfx::ImagePtr source;
        bool centered = true;
        gfx::ImagePtr fitted;
    };

    void rebuild();
    void finished(std::uint64_t generation, gfx::ImagePtr image, FittedLogo fit);

    struct Mailbox {
        std::mutex mutex;
        PreviewRenderer* target = nullptr;
    };

    const MainWindowState& state_;
    QPointer<PreviewView> view_;
    std::shared_ptr<const ShapeLists> workerShapes_;
    std::uint64_t generation_ = 0;
    bool scheduled_ = false;
    bool running_ = false;
    bool pending_ = false;
    std::shared_ptr<Mailbox> mailbox_;
    FittedLogo fittedLogo_;
};

} // namespace Tessivo::ui
