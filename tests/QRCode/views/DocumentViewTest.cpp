#include "QRCode/views/QRCodeDocumentView.h"
#include "SlowPixelShape.h"
#include "tests/QRCode/views/ViewsTestSupport.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

using viewstest::decode;
using viewstest::textDocument;
using viewstest::waitFor;

namespace {

using Texts = std::vector<std::string>;

// A document whose rendering waits until the gate opens.
QRCode::DocumentPtr slowDocument(const std::string& text, const RenderGate::Hold& gate) {
    auto document = textDocument(text);
    document->design()->shape()->setOnPixels(std::make_shared<SlowPixelShape>(gate.gate));
    return document;
}

} // namespace

TEST(DocumentView, RendersTheDocumentAfterTheDebounceAndAgainWhenAssignedAgain) {
    auto document = textDocument("first");
    QRCodeDocumentView view(document);
    QSignalSpy displayed(&view, &QRCodeDocumentView::imageDisplayed);
    EXPECT_TRUE(view.image().isNull()); // nothing before the pause is over
    ASSERT_TRUE(waitFor([&] { return displayed.count() == 1; }));
    EXPECT_EQ(view.image().deviceIndependentSize(), QSizeF(512, 512));
    EXPECT_EQ(decode(view.image()), Texts{"first"});
    EXPECT_EQ(view.imageOpacity(), 1.0);
    EXPECT_FALSE(view.isBusy());
    // Changes inside the same document show once it is assigned again.
    document->setUtf8String("after");
    view.setDocument(document);
    ASSERT_TRUE(waitFor([&] { return decode(view.image()) == Texts{"after"}; }));
}

TEST(DocumentView, BurstOfChangesRendersOnceTheLastDocument) {
    QRCodeDocumentView view(textDocument("start"));
    QSignalSpy displayed(&view, &QRCodeDocumentView::imageDisplayed);
    ASSERT_TRUE(waitFor([&] { return displayed.count() == 1; }));

    // Changes made one after another, with no turn of the event loop
    // between them (where the pause could run out however short it is).
    QSignalSpy started(&view, &QRCodeDocumentView::renderStarted);
    view.setDocument(textDocument("second"));
    view.setDocument(textDocument("third"));
    auto last = textDocument("fourth");
    view.setDocument(last);
    EXPECT_EQ(started.count(), 0);
    ASSERT_TRUE(waitFor([&] { return displayed.count() == 2; }));
    EXPECT_EQ(decode(view.image()), Texts{"fourth"});
    // Give a stray second rendering every chance to show up.
    QTest::qWait(250);
    viewstest::settle();
    EXPECT_EQ(started.count(), 1);
    EXPECT_EQ(displayed.count(), 2);
    EXPECT_EQ(view.document(), last);
}

// The view renders its own copy of the logo; a logo that leaves the modules
// under it visible (its picture is half transparent) shows them in the view
// exactly as the document's own image does.
TEST(DocumentView, ShowsALogoThatLeavesTheModulesVisibleAsTheDocumentDrawsIt) {
    auto picture = std::make_shared<gfx::Image>(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) picture->setPixel(x, y, gfx::Pixel{200, 30, 30, 120});
    gfx::Path box;
    box.addRect(gfx::Rect(0.3, 0.3, 0.4, 0.4));
    auto document = textDocument("logo over visible modules");
    document->setLogoTemplate(std::make_shared<QRCode::LogoTemplate>(picture, box, 0, false));
    QRCodeDocumentView view(document);
    ASSERT_TRUE(waitFor([&] { return !view.image().isNull(); }));
    const auto shownImage = ImageReadWrite::cgImage(view.image());
    ASSERT_TRUE(shownImage);
    const gfx::Image& shown = *shownImage;
    const auto expected = document->cgImage(shown.width());
    ASSERT_EQ(shown.byteCount(), expected->byteCount());
    EXPECT_EQ(std::memcmp(shown.data(), expected->data(), shown.byteCount()), 0);

    document->setLogoTemplate(std::make_shared<QRCode::LogoTemplate>(picture, box, 0, true));
    const auto masked = document->cgImage(shown.width());
    EXPECT_NE(std::memcmp(shown.data(), masked->data(), shown.byteCount()), 0); // masking shows
}

TEST(DocumentView, NoDocumentEmptiesTheView) {
    QRCodeDocumentView view(textDocument("shown"));
    ASSERT_TRUE(waitFor([&] { return !view.image().isNull(); }));
    QSignalSpy displayed(&view, &QRCodeDocumentView::imageDisplayed);
    view.setDocument(nullptr);
    ASSERT_TRUE(waitFor([&] { return displayed.count() == 1; }));
    EXPECT_TRUE(view.image().isNull());
    EXPECT_EQ(view.imageOpacity(), 1.0);
}

TEST(DocumentView, SlowRenderingDimsTheOldImageAndSpinsUntilTheNewOneArrives) {
    QRCodeDocumentView view(textDocument("old"));
    ASSERT_TRUE(waitFor([&] { return !view.image().isNull(); }));
    const RenderGate::Hold gate;
    view.setDocument(slowDocument("new", gate));
    ASSERT_TRUE(waitFor([&] { return view.isBusy(); }));
    EXPECT_EQ(view.imageOpacity(), 0.2);
    EXPECT_EQ(decode(view.image()), Texts{"old"}); // still shown, dimmed
    gate.open();
    ASSERT_TRUE(waitFor([&] { return !view.isBusy(); }, 10000));
    EXPECT_EQ(view.imageOpacity(), 1.0);
    EXPECT_EQ(decode(view.image()), Texts{"new"});
}

TEST(DocumentView, OlderResultArrivingLastIsDiscarded) {
    // The quick rendering runs while the slow one waits, also where the
    // pool would run one at a time (on one core).
    QThreadPool& pool = *QThreadPool::globalInstance();
    const int threads = pool.maxThreadCount();
    pool.setMaxThreadCount(std::max(threads, 2));
    const RenderGate::Hold gate;
    QRCodeDocumentView view(slowDocument("slow and old", gate));
    QSignalSpy started(&view, &QRCodeDocumentView::renderStarted);
    ASSERT_TRUE(waitFor([&] { return started.count() == 1; }));
    view.setDocument(textDocument("quick and new"));
    ASSERT_TRUE(waitFor([&] { return decode(view.image()) == Texts{"quick and new"}; }, 10000));
    gate.open();
    viewstest::settle(); // the slow one finishes after the quick one
    EXPECT_EQ(decode(view.image()), Texts{"quick and new"});
    EXPECT_FALSE(view.isBusy());
    pool.setMaxThreadCount(threads);
}

TEST(DocumentView, ViewDestroyedWhileRenderingIsLeftAlone) {
    const RenderGate::Hold gate;
    auto view = std::make_unique<QRCodeDocumentView>(slowDocument("gone", gate));
    QSignalSpy started(view.get(), &QRCodeDocumentView::renderStarted);
    ASSERT_TRUE(waitFor([&] { return started.count() == 1; }));
    view.reset();
    gate.open();
    viewstest::settle(); // the result finds no view
    SUCCEED();
}

TEST(DocumentView, ResizingPlacesTheIndicatorAndRendersNothing) {
    QRCodeDocumentView view(textDocument("resize"));
    QSignalSpy displayed(&view, &QRCodeDocumentView::imageDisplayed);
    ASSERT_TRUE(waitFor([&] { return displayed.count() == 1; }));
    QSignalSpy started(&view, &QRCodeDocumentView::renderStarted);
    view.resize(200, 100);
    EXPECT_EQ(view.busyIndicatorGeometry(), QRect(84, 34, 32, 32));
    QTest::qWait(200);
    EXPECT_EQ(started.count(), 0);
}
