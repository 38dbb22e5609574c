// The main window as the user meets it: typing, the preview that scans,
// the message forms, its size, and its commands with their alerts.
#include "UiTestSupport.h"

#include "tests/app/AppTestSupport.h"

#include "archive/ArchiveTestSupport.h"
#include "platform/foundation/Base64.h"

#include "app/core/MainWindowState.h"
#include "app/ui/ApplicationServices.h"
#include "app/ui/MailingListPrompt.h"
#include "app/ui/MessageSection.h"
#include "app/ui/SingleInstance.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

using namespace Tessivo;
using namespace Tessivo::ui;

namespace {

QLineEdit* fieldWithPlaceholder(QWidget& root, const QString& placeholder) {
    for (auto* edit : root.findChildren<QLineEdit*>())
        if (edit->placeholderText() == placeholder) return edit;
    return nullptr;
}

// Answers the next save dialog with `path` as a user typing a name would, or
// cancels it when `path` is empty.
void answerSaveDialog(const QString& path, QString* suggested) {
    QTimer::singleShot(100, [path, suggested] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QFileDialog*>(w); dialog && dialog->isVisible()) {
                *suggested = dialog->selectedFiles().value(0);
                if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) name->setText(path);
                QMetaObject::invokeMethod(dialog, path.isEmpty() ? "reject" : "accept");
                return;
            }
    });
}

// Answers the question a save dialog asks before it replaces a file: keeps
// its text and replaces or not. After "No" it notes whether the dialog is
// still open, then cancels it.
void answerReplaceQuestion(bool replace, QString* asked, bool* dialogStayed = nullptr) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [=] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(w);
            auto* dialog = box ? qobject_cast<QFileDialog*>(box->parentWidget()) : nullptr;
            if (!dialog || !box->isVisible()) continue;
            *asked = box->text();
            box->button(replace ? QMessageBox::Yes : QMessageBox::No)->click();
            if (!replace)
                QTimer::singleShot(50, dialog, [dialog, dialogStayed] {
                    if (dialogStayed) *dialogStayed = dialog->isVisible();
                    dialog->reject();
                });
            poll->deleteLater();
            poll->stop();
            return;
        }
    });
    poll->start(20);
}

// The format a file's bytes hold, by their signature.
std::string formatOfFile(const std::filesystem::path& file) {
    const std::string bytes = std::filesystem::exists(file) ? testsupport::readTextFile(file) : std::string();
    if (bytes.rfind("\x89PNG", 0) == 0) return "PNG";
    if (bytes.rfind("\xFF\xD8\xFF", 0) == 0) return "JPEG";
    if (bytes.rfind(std::string("II*\0", 4), 0) == 0 || bytes.rfind(std::string("MM\0*", 4), 0) == 0) return "TIFF";
    if (bytes.rfind("%PDF", 0) == 0) return "PDF";
    if (bytes.find("<svg") != std::string::npos) return "SVG";
    return bytes.substr(0, 16);
}

QImage clipboardPNG() {
    return QImage::fromData(QApplication::clipboard()->mimeData()->data(QStringLiteral("image/png")), "PNG");
}

using MainWindowTest = FreshSettings;

} // namespace

TEST_F(MainWindowTest, TypingShowsACodeThatScansAndATooLongMessageWarnsUntilTheLevelIsLowered) {
    MainWindow window;
    window.show();
    settle(window);
    EXPECT_EQ(window.preview().content(), PreviewView::Content::placeholder);

    QLineEdit* field = window.messageSection().firstField();
    ASSERT_TRUE(field);
    QTest::keyClicks(field, "https://example.com");
    settle(window);
    ASSERT_EQ(window.preview().content(), PreviewView::Content::code);
    EXPECT_EQ(window.preview().codeImage()->width(), 1024);
    EXPECT_EQ(scan(window.preview()), std::vector<std::string>{"https://example.com"});
    const auto before = window.preview().codeImage();
    QTest::keyClicks(field, "/a");
    settle(window);
    EXPECT_NE(window.preview().codeImage(), before);
    EXPECT_EQ(scan(window.preview()), std::vector<std::string>{"https://example.com/a"});

    // Clearing the field brings the placeholder back.
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    settle(window);
    EXPECT_EQ(window.preview().content(), PreviewView::Content::placeholder);
    EXPECT_FALSE(window.preview().codeImage());

    // 2000 bytes fit at L, not at the default H.
    field->setText(QString(2000, QLatin1Char('a')));
    settle(window);
    EXPECT_EQ(window.preview().content(), PreviewView::Content::warning);
    Keys::errorCorrection().set(0);
    settle(window);
    ASSERT_EQ(window.preview().content(), PreviewView::Content::code);
    EXPECT_EQ(scan(window.preview()), std::vector<std::string>{std::string(2000, 'a')});
}

// Hand-edited settings, the slowest pixel shape and the largest message:
// the window takes keystrokes while the code renders, and the preview ends
// on the last text, scannable.
TEST_F(MainWindowTest, HandEditedSettingsAndTheLargestMessageKeepTheWindowResponsive) {
    auto& suite = *platform::UserDefaults::standard();
    suite.setObject("background padding", platform::PropertyList(std::numeric_limits<double>::quiet_NaN()));
    suite.setObject("background radius", platform::PropertyList(-4.0));
    suite.setObject("eye shape idx", platform::PropertyList(std::int64_t(-3)));
    suite.setObject("layout mode", platform::PropertyList(std::int64_t(2)));
    suite.setObject("error correction", platform::PropertyList(std::int64_t(0)));
    suite.setObject("pixel shape idx", platform::PropertyList(std::int64_t(12)));
    MainWindow window;
    QLineEdit* field = window.messageSection().firstField();
    field->setText(QString(2950, QLatin1Char('x')));
    pumpEvents();
    EXPECT_TRUE(window.previewRenderer().isBusy());
    QTest::keyClicks(field, "abc");
    EXPECT_EQ(field->text().size(), 2953);
    settle(window);
    ASSERT_EQ(window.preview().content(), PreviewView::Content::code);
    EXPECT_EQ(scan(window.preview()), std::vector<std::string>{std::string(2950, 'x') + "abc"});
}

TEST_F(MainWindowTest, MessageKindsSwitchFormsKeepFieldsAndScan) {
    MainWindow window;
    MessageSection& section = window.messageSection();
    QComboBox* picker = section.kindPicker();
    QStringList kinds;
    for (int i = 0; i < picker->count(); ++i) kinds << picker->itemText(i);
    EXPECT_EQ(kinds, (QStringList{"Text", "URL", "Email", "Phone", "SMS", "Wi-Fi", "Contact"}));

    // URL and text share what was typed.
    picker->setCurrentIndex(1);
    pumpEvents();
    EXPECT_EQ(Keys::messageType().get(), 1);
    QTest::keyClicks(section.firstField(), "example.org");
    picker->setCurrentIndex(0);
    pumpEvents();
    EXPECT_EQ(section.firstField()->text(), "example.org");

    // Wi-Fi: "None" hides the password and keeps it; the payload scans.
    picker->setCurrentIndex(5);
    pumpEvents();
    QTest::keyClicks(fieldWithPlaceholder(section, "Network name (SSID)"), "Cafe;Guest");
    QLineEdit* password = fieldWithPlaceholder(section, "Password");
    QTest::keyClicks(password, "p:w");
    EXPECT_TRUE(password->isVisibleTo(&section));
    auto* security = section.findChildren<QComboBox*>().at(1);
    security->setCurrentIndex(2);
    EXPECT_FALSE(password->isVisibleTo(&section));
    settle(window);
    EXPECT_EQ(scan(window.preview()), std::vector<std::string>{"WIFI:T:nopass;S:Cafe\\;Guest;;"});
    security->setCurrentIndex(1);
    EXPECT_TRUE(password->isVisibleTo(&section));
    EXPECT_EQ(password->text(), "p:w");
    settle(window);
    EXPECT_EQ(scan(window.preview()), std::vector<std::string>{"WIFI:T:WEP;S:Cafe\\;Guest;P:p\\:w;;"});

    // A stored kind that names none shows the text form with its text.
    Keys::messageType().set(7);
    settle(window);
    EXPECT_EQ(section.firstField(), fieldWithPlaceholder(section, "The text you want to include in your QR code"));
    EXPECT_TRUE(section.firstField()->isVisibleTo(&section));
    EXPECT_EQ(scan(window.preview()), std::vector<std::string>{"example.org"});
}

TEST_F(MainWindowTest, SizeLimitsAndClosingHidesWithStateKept) {
    MainWindow window;
    window.show();
    QWidget* content = window.centralWidget();
    EXPECT_EQ(content->minimumSize(), QSize(800, 580));
    EXPECT_EQ(content->maximumSize(), QSize(1000, 580));
    window.resize(1200, 900);
    pumpEvents();
    EXPECT_LE(content->width(), 1000);
    EXPECT_EQ(content->height(), 580);
    EXPECT_EQ(window.preview().size(), QSize(540, 540));

    window.messageSection().firstField()->setText("kept");
    window.close();
    EXPECT_FALSE(window.isVisible());
    window.bringToFront();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.messageSection().firstField()->text(), "kept");
}

// The commands are off until the services exist; then export, Help and the
// newsletter command work from the running window.
TEST_F(MainWindowTest, CommandsWaitForTheServicesThenExportMailAndSubscribe) {
    testsupport::TempDir dir;
    MainWindow window;
    EXPECT_FALSE(menuBarAction(window, "New"));
    for (const char* text : {"Check for Updates…", "Contact Support", "Subscribe to Newsletter…"}) {
        QAction* action = menuBarAction(window, QString::fromUtf8(text));
        ASSERT_TRUE(action) << text;
        EXPECT_FALSE(action->isEnabled()) << text;
    }
    // Empty toolbar menus would open nothing: their buttons are disabled.
    EXPECT_EQ(window.actionsButton().isEnabled(), !window.actionsMenu().actions().isEmpty());
    EXPECT_EQ(window.presetsButton().isEnabled(), !window.presetsMenu().actions().isEmpty());

    LocalServer server;
    MailingListManager::Config config;
    config.endpointURL = server.url(QStringLiteral("/mailinglist.php"));
    auto store = platform::UserDefaults::open("shared", dir.path());
    config.store = [store] { return store; };
    ApplicationServices services(window, std::make_unique<Updater>(QUrl(), QStringLiteral("1.0")),
                                 std::make_unique<MailingListManager>(config));
    window.show();
    EXPECT_TRUE(window.actionsButton().isEnabled() && window.presetsButton().isEnabled());
    EXPECT_FALSE(window.checkForUpdatesAction().isEnabled()); // no feed address

    // Export through the save dialog: it suggests the format's name, the
    // file is written and a notice shown for a while; cancelling shows nothing.
    EXPECT_EQ(actionTexts(window.actionsMenu()), (QStringList{"Export as...", "PNG", "JPEG", "TIFF", "PDF", "SVG",
                                                              "Copy to clipboard", "Image", "ASCII Representation"}));
    window.state().fields.qrText = "From the window";
    QString suggested;
    answerSaveDialog(QString::fromStdString((dir / "mine").string()), &suggested);
    findAction(window.actionsMenu(), QStringLiteral("SVG"))->trigger();
    EXPECT_TRUE(suggested.endsWith(QStringLiteral("/qrcode.svg"))) << suggested.toStdString();
    ASSERT_TRUE(waitFor([&] { return window.isSuccessNoticeShown(); }));
    EXPECT_TRUE(testsupport::readTextFile(dir / "mine.svg").find("<svg") != std::string::npos);
    EXPECT_TRUE(waitFor([&] { return !window.isSuccessNoticeShown(); }, 30000));
    answerSaveDialog(QString(), &suggested);
    findAction(window.actionsMenu(), QStringLiteral("PNG"))->trigger();
    QTest::qWait(100);
    EXPECT_FALSE(window.exportErrorMessage());
    EXPECT_FALSE(window.isSuccessNoticeShown());

    // A folder that does not exist: the alert names the format. With no
    // message, neither a dialog nor the clipboard is touched, and the guard's
    // text replaces the open alert's. Dismissing clears it; the next failure
    // shows it again.
    answerSaveDialog(QString::fromStdString((dir / "missing" / "code.pdf").string()), &suggested);
    findAction(window.actionsMenu(), QStringLiteral("PDF"))->trigger();
    ASSERT_TRUE(waitFor([&] { return window.exportAlert() && window.exportAlert()->isVisible(); }));
    EXPECT_EQ(window.exportAlert()->text(), "Export failed");
    EXPECT_EQ(window.exportAlert()->informativeText(), "Could not save PDF.");
    window.state().fields.qrText.clear();
    QApplication::clipboard()->setText(QStringLiteral("keep"));
    suggested.clear();
    answerSaveDialog(QString::fromStdString((dir / "unwanted").string()), &suggested);
    findAction(window.actionsMenu(), QStringLiteral("PNG"))->trigger();
    findAction(window.actionsMenu(), QStringLiteral("Image"))->trigger();
    QTest::qWait(200);
    EXPECT_TRUE(suggested.isEmpty());
    EXPECT_EQ(window.exportAlert()->informativeText(), "Enter a message first to generate a QR code.");
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("keep"));
    QTest::keyClick(window.exportAlert(), Qt::Key_Escape);
    pumpEvents();
    EXPECT_FALSE(window.exportErrorMessage());
    findAction(window.actionsMenu(), QStringLiteral("Image"))->trigger();
    EXPECT_TRUE(window.exportAlert() && window.exportAlert()->isVisible());
    QTest::keyClick(window.exportAlert(), Qt::Key_Escape);

    // A copy reaches the clipboard off the main thread and scans.
    window.state().fields.qrText = "copy me";
    findAction(window.actionsMenu(), QStringLiteral("Image"))->trigger();
    ASSERT_TRUE(waitFor([&] { return !clipboardPNG().isNull(); }));
    EXPECT_EQ(scanImage(clipboardPNG()), "copy me");
    EXPECT_TRUE(waitFor([&] { return window.isSuccessNoticeShown(); }));

    // Help: Contact Support hands a mail to the mail program.
    UrlCatcher mail;
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &mail, "open");
    window.contactSupportAction().trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
    ASSERT_EQ(mail.urls.size(), 1);
    EXPECT_TRUE(mail.urls.front().toEncoded().contains("Support%20Request"))
        << mail.urls.front().toString().toStdString();

    // "Subscribe to Newsletter…" opens the prompt; "Don't ask again" hides
    // the command for good.
    ASSERT_TRUE(window.subscribeAction().isVisible());
    window.subscribeAction().trigger();
    auto* prompt = window.findChild<MailingListPrompt*>();
    ASSERT_TRUE(prompt && prompt->isVisible());
    prompt->declineButton()->click();
    EXPECT_FALSE(prompt->isVisible());
    EXPECT_FALSE(window.subscribeAction().isVisible());
}

// Whatever name is typed, the file written carries the extension of the
// format it holds, and the question before replacing a file names the file
// that is written.
TEST_F(MainWindowTest, AnExportedFileCarriesTheExtensionOfItsFormat) {
    testsupport::TempDir dir;
    MainWindow window;
    window.show();
    window.state().fields.qrText = "Extensions";
    auto exportAs = [&](const QString& format, const char* typed) {
        QString suggested;
        answerSaveDialog(QString::fromStdString((dir / typed).string()), &suggested);
        findAction(window.actionsMenu(), format)->trigger();
    };
    const struct {
        const char* format;
        const char* typed;
        const char* written;
    } cases[] = {
        {"PNG", "a.jpg", "a.jpg.png"},
        {"JPEG", "mismatch.png", "mismatch.png.jpg"},
        {"TIFF", "b.PDF", "b.PDF.tiff"},
        {"PDF", "c.svg", "c.svg.pdf"},
        {"SVG", "d.tif", "d.tif.svg"},
        {"PNG", "e.heic", "e.heic.png"},
        {"PNG", "report.v2", "report.v2.png"},
        // The format's own extensions, in any case, and none at all.
        {"JPEG", "f.JPEG", "f.JPEG"},
        {"JPEG", "g.jpg", "g.jpg"},
        {"TIFF", "h.Tif", "h.Tif"},
        {"TIFF", "i.tiff", "i.tiff"},
        {"PDF", "j", "j.pdf"},
        {"SVG", "k.", "k.svg"},
    };
    for (const auto& c : cases) {
        exportAs(QString::fromLatin1(c.format), c.typed);
        EXPECT_TRUE(waitFor([&] { return std::filesystem::exists(dir / c.written); })) << c.typed;
        EXPECT_EQ(formatOfFile(dir / c.written), c.format) << c.written;
        if (std::string(c.typed) != c.written) {
            EXPECT_FALSE(std::filesystem::exists(dir / c.typed)) << c.typed;
        }
    }

    // The typed name and the mended one both exist: the question names the
    // mended one, "No" keeps the dialog open and writes nothing, "Yes"
    // replaces only the mended one.
    testsupport::writeTextFile(dir / "x.png", "typed");
    testsupport::writeTextFile(dir / "x.png.jpg", "mended");
    QString asked;
    bool stayed = false;
    answerReplaceQuestion(false, &asked, &stayed);
    exportAs(QStringLiteral("JPEG"), "x.png");
    EXPECT_TRUE(asked.startsWith(QStringLiteral("x.png.jpg already exists"))) << asked.toStdString();
    EXPECT_TRUE(stayed);
    QTest::qWait(200);
    EXPECT_EQ(testsupport::readTextFile(dir / "x.png.jpg"), "mended");
    asked.clear();
    answerReplaceQuestion(true, &asked);
    exportAs(QStringLiteral("JPEG"), "x.png");
    EXPECT_TRUE(asked.startsWith(QStringLiteral("x.png.jpg already exists"))) << asked.toStdString();
    EXPECT_TRUE(waitFor([&] { return formatOfFile(dir / "x.png.jpg") == "JPEG"; }));
    EXPECT_EQ(testsupport::readTextFile(dir / "x.png"), "typed");
}

// An export onto a full disk (here: past the file-size limit) or over a
// file its owner marked read-only is reported as failed, leaves a file it
// would replace as it was, and leaves nothing behind where there was nothing.
TEST_F(MainWindowTest, AnExportThatCannotBeWrittenIsReportedAndLosesNothing) {
    testsupport::TempDir dir;
    MainWindow window;
    window.show();
    window.state().fields.qrText = "Full disk";
    const std::pair<const char*, std::string> formats[] = {
        {"PNG", "png"}, {"JPEG", "jpg"}, {"TIFF", "tiff"}, {"PDF", "pdf"}, {"SVG", "svg"}};
    // Exports `format` to `path`, answering "Yes" to replace what is there,
    // and expects the failure alert for the format and no success notice.
    const auto exportFails = [&](const char* format, const std::filesystem::path& path) {
        SCOPED_TRACE(path.string());
        QString suggested, asked;
        answerSaveDialog(QString::fromStdString(path.string()), &suggested);
        if (std::filesystem::exists(path)) answerReplaceQuestion(true, &asked);
        findAction(window.actionsMenu(), QString::fromLatin1(format))->trigger();
        ASSERT_TRUE(waitFor([&] { return window.exportAlert() && window.exportAlert()->isVisible(); }));
        EXPECT_EQ(window.exportAlert()->informativeText(), QStringLiteral("Could not save %1.").arg(format));
        EXPECT_FALSE(window.isSuccessNoticeShown());
        QTest::keyClick(window.exportAlert(), Qt::Key_Escape);
        pumpEvents();
    };
    const auto namesIn = [](const std::filesystem::path& folder) {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    };
    for (const auto& [format, extension] : formats) {
        const std::string replaced = "old." + extension;
        testsupport::writeTextFile(dir / replaced, "the user's file");
        for (const std::string& target : {replaced, "new." + extension}) {
            // Every export is larger than this.
            const testsupport::FileSizeLimit limit(512);
            exportFails(format, dir / target);
        }
        EXPECT_EQ(testsupport::readTextFile(dir / replaced), "the user's file") << format;
    }
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"old.jpg", "old.pdf", "old.png", "old.svg", "old.tiff"}));

    // In a folder that would let a new file be renamed over it.
    const testsupport::ActingUnprivileged unprivileged;
    const testsupport::TempDir own;
    for (const auto& [format, extension] : formats) {
        const auto locked = own / ("locked." + extension);
        testsupport::writeTextFile(locked, "the user's file");
        ::chmod(locked.c_str(), 0444);
        exportFails(format, locked);
        EXPECT_EQ(testsupport::readTextFile(locked), "the user's file") << format;
        using std::filesystem::perms;
        EXPECT_EQ(std::filesystem::status(locked).permissions(),
                  perms::owner_read | perms::group_read | perms::others_read);
    }
    EXPECT_EQ(namesIn(own.path()),
              (std::vector<std::string>{"locked.jpg", "locked.pdf", "locked.png", "locked.svg", "locked.tiff"}));
}

TEST(SingleInstance, ASecondStartReachesTheFirstAndAStaleSocketIsReplaced) {
    const QString name = QStringLiteral("tessivo-test-%1").arg(QCoreApplication::applicationPid());
    // A socket file left behind by a crashed run.
    testsupport::writeTextFile((QDir::tempPath() + "/" + name).toStdString(), "");
    SingleInstance first(name);
    EXPECT_FALSE(first.notifyRunningInstance(200)); // nobody answers
    ASSERT_TRUE(first.listen());
    QSignalSpy activations(&first, &SingleInstance::activationRequested);

    SingleInstance second(name);
    EXPECT_TRUE(second.notifyRunningInstance());
    EXPECT_TRUE(activations.wait(5000));
    EXPECT_EQ(activations.count(), 1);
}

// A settings file that is a FIFO, or a link to one, would once stop the start
// for good: the window now opens on defaults and the path is moved aside.
TEST_F(MainWindowTest, StartsWhenTheSettingsFileIsAFifoOrALinkToOne) {
    auto& suite = *platform::UserDefaults::standard();
    ASSERT_TRUE(suite.synchronize().ok());
    const std::filesystem::path file = suite.filePath();
    const std::filesystem::path pipe = file.parent_path() / "pipe";
    std::filesystem::create_directories(file.parent_path());
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    for (const bool linked : {false, true}) {
        std::filesystem::remove(file);
        if (linked)
            std::filesystem::create_symlink(pipe, file);
        else
            ASSERT_EQ(::link(pipe.c_str(), file.c_str()), 0);
        testsupport::FifoWatch watch(pipe);
        {
            MainWindow window;
            window.show();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
            EXPECT_EQ(Keys::eyeShapeIdx().get(), 0);
        }
        EXPECT_FALSE(watch.openedForReading());
        int aside = 0;
        for (const auto& entry : std::filesystem::directory_iterator(file.parent_path()))
            if (entry.path().filename().string().starts_with(file.filename().string() + ".corrupt-")) ++aside;
        EXPECT_EQ(aside, linked ? 2 : 1);
    }
    std::filesystem::remove(pipe);
}

// A settings file whose background colour is a property list of 3,000
// arrays laid over one another (2.5 GB of elements when read element by
// element, once for each of the dozen reads of the colour while the window
// opens): the window opens on the default background without that cost.
TEST_F(MainWindowTest, StartsWhenTheStoredBackgroundIsArraysLaidOverOneAnother) {
    auto& suite = *platform::UserDefaults::standard();
    ASSERT_TRUE(suite.synchronize().ok());
    std::filesystem::create_directories(suite.filePath().parent_path());
    testsupport::writeTextFile(
        suite.filePath(), R"({"background color": {"$data": ")" +
                              foundation::base64Encode(archivetest::overlappingArrays(3000, 50000, false)) + R"("}})");
    ASSERT_TRUE(suite.objectForKey("background color") && suite.objectForKey("background color")->asData());
    const std::size_t before = testsupport::peakResidentBytes();
    {
        MainWindow window;
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        settle(window);
        EXPECT_EQ(Keys::backgroundColor().get(), Color::sRGB(1, 1, 1));
    }
    EXPECT_LT(testsupport::peakResidentBytes() - before, std::size_t(256) << 20);
}

// Pasting far more than a symbol holds cuts the field one character past
// that and shows "Message too long", never a code of part of the text.
TEST_F(MainWindowTest, APastedMessageBeyondWhatASymbolHoldsShowsTooLong) {
    MainWindow window;
    window.show();
    Keys::errorCorrection().set(0);
    QLineEdit* field = window.messageSection().firstField();
    ASSERT_TRUE(field);
    QApplication::clipboard()->setText(QString(1 << 20, QLatin1Char('a')));
    field->paste();
    settle(window);
    EXPECT_EQ(field->text().size(), qsizetype(maximumMessageBytes) + 1);
    EXPECT_EQ(window.preview().content(), PreviewView::Content::warning);

    // The largest message that fits still makes a code.
    QTest::keyClick(field, Qt::Key_Backspace);
    settle(window);
    EXPECT_EQ(window.preview().content(), PreviewView::Content::code);
}
