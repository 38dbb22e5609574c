#include "QRCode/generators/eye/Square.h"
#include "QRCode/fills/Solid.h"
#include "QRCode/generators/pupil/Square.h"
#include "QRCode/views/Pasteboard.h"
#include "QRCode/views/QRCodeView.h"
#include "tests/QRCode/views/ViewsTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

using namespace QRCode::views;
using viewstest::decode;
using viewstest::waitFor;

namespace {

using Texts = std::vector<std::string>;

std::string toString(const QRCode::Document::Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

} // namespace

TEST(QRCodeView, StartsWithADefaultDocumentAndDesignerDefaults) {
    QRCodeView view;
    ASSERT_NE(view.document(), nullptr);
    EXPECT_EQ(view.ibCorrectionLevel(), "Q");
    EXPECT_EQ(view.ibBackgroundColor(), QColor(Qt::white));

    view.setDocument(nullptr);
    ASSERT_NE(view.document(), nullptr);
    // The base view shows the owned document.
    EXPECT_EQ(view.QRCodeDocumentView::document(), view.document());
}

TEST(QRCodeView, CorrectionLevelTakesTheFirstLetterInAnyCase) {
    QRCodeView view;
    const std::pair<const char*, const char*> cases[] = {{"high", "H"}, {"L", "L"}, {"m", "M"},
                                                         {"", "Q"},     {"x", "Q"}, {"Hq", "H"}};
    for (const auto& [input, expected] : cases) {
        view.setIbCorrectionLevel(QString::fromUtf8(input));
        EXPECT_EQ(view.ibCorrectionLevel(), QString::fromLatin1(expected)) << input;
    }
}

TEST(QRCodeView, TextContentIsStoredAsUTF8Data) {
    QRCodeView view;
    view.setIbTextContent(QStringLiteral("grüße"));
    EXPECT_EQ(toString(view.data()), "grüße");
    EXPECT_EQ(view.ibTextContent(), QStringLiteral("grüße"));

    // Text content set on the document itself is not data.
    view.document()->setUtf8String("plain text");
    EXPECT_TRUE(view.data().empty());
    EXPECT_EQ(view.ibTextContent(), "");

    // A lone surrogate has no UTF-8 form: nothing changes.
    view.setIbTextContent(QStringLiteral("kept"));
    EXPECT_FALSE(view.setString(QString(QChar(0xD800))));
    EXPECT_EQ(toString(view.data()), "kept");
    EXPECT_TRUE(view.setString(QStringLiteral("latin"), QStringConverter::Latin1));
    EXPECT_EQ(toString(view.data()), "latin");
}

TEST(QRCodeView, GeneratorNamesFallBackToSquares) {
    QRCodeView view;
    auto& shape = *view.design()->shape();
    view.setIbPupilShape(QStringLiteral(""));
    EXPECT_NE(std::dynamic_pointer_cast<QRCode::PupilShape::Square>(shape.pupil()), nullptr);
    view.setIbEyeShape(QStringLiteral("no such eye"));
    EXPECT_NE(std::dynamic_pointer_cast<QRCode::EyeShape::Square>(shape.eye()), nullptr);
    EXPECT_EQ(shape.pupil(), nullptr); // setting the eye clears the pupil
    view.setIbPixelShape(QStringLiteral("abstract"));
    EXPECT_EQ(shape.onPixels()->name(), "abstract");
    view.setIbPixelShape(QStringLiteral("unknown"));
    EXPECT_EQ(shape.onPixels()->name(), "square");

    // The design-time preview leaves the eye's own pupil for an empty name.
    view.setIbPupilShape(QStringLiteral("unknown"));
    EXPECT_NE(shape.pupil(), nullptr);
    view.setIbEyeShape(QStringLiteral("square"));
    EXPECT_EQ(shape.pupil(), nullptr);
    view.setIbPupilShape(QStringLiteral(""));
    view.prepareForInterfaceBuilder();
    EXPECT_EQ(shape.pupil(), nullptr);
}

TEST(QRCodeView, CellSizeUsesTheSmallerSide) {
    QRCodeView view;
    view.setIbTextContent(QStringLiteral("cells"));
    view.resize(250, 400);
    const auto cells = view.cellDimension();
    ASSERT_GT(cells, 0);
    EXPECT_EQ(view.cellSize(), 250 / cells);
}

TEST(QRCodeView, RefreshRendersTheChangedDocument) {
    QRCodeView view;
    QSignalSpy started(&view, &QRCodeDocumentView::renderStarted);
    view.setIbTextContent(QStringLiteral("one"));
    view.setIbCorrectionLevel(QStringLiteral("H"));
    view.setIbTextContent(QStringLiteral("two"));
    ASSERT_TRUE(waitFor([&] { return decode(view.image()) == Texts{"two"}; }));
    EXPECT_EQ(started.count(), 1);
}

TEST(QRCodeView, DragDataHoldsTheFormatsAndAPromisedFile) {
    QRCodeView view;
    view.setSupportsDrag(true);
    view.setIbTextContent(QStringLiteral("drag me"));
    view.setDragImageSize(QSize(300, 200));

    auto mime = view.makeDragMimeData();
    EXPECT_TRUE(mime->hasFormat(kPDFMimeType));
    EXPECT_TRUE(mime->hasFormat(kPNGMimeType));
    EXPECT_TRUE(mime->hasFormat(kTIFFMimeType));
    EXPECT_TRUE(mime->hasUrls());

    const QByteArray pdf = mime->data(kPDFMimeType);
    EXPECT_EQ(viewstest::pdfMediaBox(pdf), std::make_pair(300.0, 200.0));
    const QImage png = QImage::fromData(mime->data(kPNGMimeType), "PNG");
    EXPECT_EQ(png.size(), QSize(300, 200));
    EXPECT_EQ(viewstest::decodePNG(mime->data(kPNGMimeType)), Texts{"drag me"});
    const QByteArray tiffBytes = mime->data(kTIFFMimeType);
    EXPECT_TRUE(tiffBytes.startsWith("II*") || tiffBytes.startsWith("MM"));

    const QList<QUrl> urls = mime->urls();
    ASSERT_EQ(urls.size(), 1);
    ASSERT_TRUE(urls[0].isLocalFile());
    const QFileInfo file(urls[0].toLocalFile());
    EXPECT_EQ(file.fileName(), "Dropped QRCode.pdf");
    EXPECT_TRUE(file.absoluteFilePath().startsWith(QDir(QRCodeView::droppedFilesFolder()).absolutePath() + "/"));
    QFile written(file.absoluteFilePath());
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), pdf);
    // Asking again within the same drag writes nothing new.
    EXPECT_EQ(mime->urls(), urls);
    EXPECT_EQ(file.absoluteDir().entryList(QDir::Files).size(), 1);

    // A later drag names its file by what exists where it lands, not by the
    // drags before it.
    const QList<QUrl> second = view.makeDragMimeData()->urls();
    ASSERT_EQ(second.size(), 1);
    EXPECT_EQ(QFileInfo(second[0].toLocalFile()).fileName(), "Dropped QRCode.pdf");
    EXPECT_NE(second[0], urls[0]);

    const QImage dragImage = view.makeDragImage();
    EXPECT_EQ(dragImage.size(), QSize(128, 128));
    EXPECT_EQ(dragImage.deviceIndependentSize(), QSizeF(64, 64));
}

TEST(QRCodeView, DragDataThatCannotBeMadeOrWrittenIsEmpty) {
    {
        // A PDF that cannot be written (as on a full disk) is offered as no
        // file at all, and nothing of it is left.
        QRCodeView view;
        view.setIbTextContent(QStringLiteral("full disk"));
        QTemporaryDir destination;
        ASSERT_TRUE(destination.isValid());
        const auto before = QDir(QRCodeView::droppedFilesFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        {
            const testsupport::FileSizeLimit limit(512); // the PDF is larger
            EXPECT_FALSE(view.writeDroppedFile(destination.path()));
            EXPECT_TRUE(view.makeDragMimeData()->urls().isEmpty());
        }
        EXPECT_TRUE(QDir(destination.path()).isEmpty());
        EXPECT_EQ(QDir(QRCodeView::droppedFilesFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    }
    QRCodeView view;
    view.setErrorCorrection(QRCode::ErrorCorrection::high);
    view.setData(QRCode::Document::Bytes(4000, 'x')); // too long: the old matrix is kept
    ASSERT_FALSE(view.document()->isMatrixCurrent());
    auto mime = view.makeDragMimeData();
    EXPECT_TRUE(mime->data(kPDFMimeType).isEmpty());
    EXPECT_TRUE(mime->data(kPNGMimeType).isEmpty());
    const auto before = QDir(QRCodeView::droppedFilesFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    EXPECT_TRUE(mime->urls().isEmpty());
    EXPECT_EQ(QDir(QRCodeView::droppedFilesFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
}

TEST(QRCodeView, DroppedFilesAreNamedByTheDestinationAndOutliveTheView) {
    QTemporaryDir destination;
    ASSERT_TRUE(destination.isValid());
    QUrl dragged;
    {
        auto view = std::make_unique<QRCodeView>();
        view->setIbTextContent(QStringLiteral("kept"));
        EXPECT_EQ(QFileInfo(view->writeDroppedFile(destination.path())->toLocalFile()).fileName(),
                  "Dropped QRCode.pdf");
        EXPECT_EQ(QFileInfo(view->writeDroppedFile(destination.path())->toLocalFile()).fileName(),
                  "Dropped QRCode-2.pdf");
        // A gap left by a removed file is taken again.
        QFile::remove(destination.filePath("Dropped QRCode.pdf"));
        EXPECT_EQ(QFileInfo(view->writeDroppedFile(destination.path())->toLocalFile()).fileName(),
                  "Dropped QRCode.pdf");
        EXPECT_FALSE(view->writeDroppedFile(destination.filePath("missing/folder")));
        EXPECT_FALSE(view->writeDroppedFile(QString()));

        auto mime = view->makeDragMimeData();
        ASSERT_EQ(mime->urls().size(), 1);
        dragged = mime->urls()[0];
    } // the view and the drag data are gone; a receiver may open the URL now
    QFile file(dragged.toLocalFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_EQ(viewstest::pdfMediaBox(pdf), std::make_pair(512.0, 512.0));
}
