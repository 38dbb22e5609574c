#pragma once

#include "QRCode/Document.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <cstdint>

class BusyIndicator;

// Shows one QRCode::Document, fitted into the widget with its aspect ratio
// kept. Never renders on the main thread: every change of the document is
// coalesced for 0.1 s, then a snapshot of the document (its matrix, a copy
// of its design and logo) is rendered on a worker thread and the image comes
// back through the event loop. When a rendering takes longer than 0.25 s the
// image shown so far is dimmed and a busy indicator spins until the newest
// result arrives. A result older than the one on screen is discarded.
//
// The view does not observe its document: changes made inside the document
// show after the next setDocument() (the same object again is fine).
// Resizing scales the image it has and renders nothing.
class QRCodeDocumentView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDebounceMilliseconds = 100;
    static constexpr int kProgressDelayMilliseconds = 250;
    // The rendering is this many device-independent pixels a side.
    static constexpr int kRenderDimension = 512;

    explicit QRCodeDocumentView(QRCode::DocumentPtr document = nullptr, QWidget* parent = nullptr);
    ~QRCodeDocumentView() override;

    virtual QRCode::DocumentPtr document() const { return document_; }
    // Stores the document (null empties the view) and schedules its
    // rendering 0.1 s after the last of a burst of assignments.
    virtual void setDocument(QRCode::DocumentPtr document);

    // What is shown: the last rendering (null when empty or failed), its
    // opacity (0.2 while busy, else 1) and whether the indicator spins.
    QImage image() const { return image_; }
    double imageOpacity() const { return opacity_; }
    bool isBusy() const;
    // Where the busy indicator sits: 32 x 32, centred.
    QRect busyIndicatorGeometry() const;

    QSize sizeHint() const override { return {256, 256}; }

signals:
    // A debounced change was handed to a worker.
    void renderStarted();
    // A rendering reached the screen (also an empty one).
    void imageDisplayed();

protected:
    // Stores the document shown without going through setDocument() (a
    // subclass may override that) and schedules its rendering.
    void submitChange(QRCode::DocumentPtr document);
    QRCode::DocumentPtr shownDocument() const { return document_; }
    void setShownDocument(QRCode::DocumentPtr document) { document_ = std::move(document); }

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void handleChange();
    void display(std::uint64_t sequence, QImage image);
    void progressDelayElapsed();

    QRCode::DocumentPtr document_;
    QRCode::DocumentPtr pendingDocument_;
    QImage image_;
    double opacity_ = 1.0;
    QTimer debounce_;
    QTimer progressDelay_;
    bool progressArmed_ = false;
    BusyIndicator* busyIndicator_ = nullptr; // child widget, owned by Qt's parent chain
    std::uint64_t submittedSequence_ = 0;
    std::uint64_t displayedSequence_ = 0;
};
