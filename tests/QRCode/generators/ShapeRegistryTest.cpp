#include "tests/QRCode/ShapeTestDoubles.h"
#include "QRCode/generators/eye/Square.h"
#include "QRCode/generators/EyeShapeFactory.h"
#include "QRCode/generators/pixel/Abstract.h"
#include "QRCode/generators/pixel/Square.h"
#include "QRCode/generators/PixelShapeFactory.h"
#include "QRCode/generators/pupil/Square.h"
#include "QRCode/generators/PupilShapeFactory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <thread>
#include <string>
#include <vector>

using namespace QRCode;

namespace {

// Tiny pupil classes for the name order of all().
constexpr std::string_view kFakeNames[] = {"zeta", "Zeta", "ab", "a"};
constexpr std::string_view kFakeTitles[] = {"A", "B", "B", "a"};

template <int I> struct FakePupil final : shapetest::NoSettings<QRCodePupilShapeGenerator> {
    std::shared_ptr<QRCodePupilShapeGenerator> copyShape() const override { return nullptr; }
    gfx::Path pupilPath() override { return {}; }
    std::string_view name() const noexcept override { return kFakeNames[I]; }
    std::string_view title() const noexcept override { return kFakeTitles[I]; }
};

template <int I> PupilShapeClass fake() {
    return {kFakeNames[I], kFakeTitles[I], [](const SettingsDict&) -> std::shared_ptr<QRCodePupilShapeGenerator> {
                return std::make_shared<FakePupil<I>>();
            }};
}

} // namespace

TEST(GeneratorRegistry, EqualTitlesKeepRegistrationOrderAndAllSortsByName) {
    GeneratorRegistry<QRCodePupilShapeGenerator> registry({fake<3>(), fake<2>(), fake<1>(), fake<0>()});
    // Titles "A" < "B" (ab, then Zeta, as registered) < "a".
    EXPECT_EQ(registry.availableGeneratorNames(), (std::vector<std::string>{"zeta", "ab", "Zeta", "a"}));
    std::vector<std::string> all;
    for (const auto& g : registry.all()) all.emplace_back(g->name());
    EXPECT_EQ(all, (std::vector<std::string>{"Zeta", "a", "ab", "zeta"}));
    // Each call makes new instances.
    EXPECT_NE(registry.all()[0], registry.all()[0]);
}

TEST(GeneratorRegistry, ArchiveAndLookupErrors) {
    const auto& factory = QRCodePixelShapeFactory::shared();
    auto expectError = [](QRCodeError code, auto&& call) {
        try {
            call();
            ADD_FAILURE() << "no error, expected " << qrCodeErrorName(code);
        } catch (const QRCodeException& e) {
            EXPECT_EQ(e.code(), code);
        }
    };
    expectError(QRCodeError::unsupportedGeneratorName, [&] { factory.named("Square"); });
    expectError(QRCodeError::unsupportedGeneratorName, [&] { factory.named(""); });
    expectError(QRCodeError::unsupportedGeneratorName, [&] { factory.named("square "); });
    expectError(QRCodeError::cannotCreateGenerator, [&] { factory.create(SettingsDict::object()); });
    expectError(QRCodeError::cannotCreateGenerator, [&] { factory.create(SettingsDict()); });
    expectError(QRCodeError::cannotCreateGenerator, [&] { factory.create({{"type", 3}}); });
    expectError(QRCodeError::cannotCreateGenerator, [&] { factory.create({{"settings", SettingsDict::object()}}); });
    expectError(QRCodeError::cannotCreateGenerator, [&] { factory.create(SettingsDict::array({"square"})); });
    expectError(QRCodeError::unsupportedGeneratorName, [&] { factory.create({{"type", "wobble"}}); });
    expectError(QRCodeError::unsupportedGeneratorName, [&] { QRCodeEyeShapeFactory::shared().named("Square"); });
    expectError(QRCodeError::cannotCreateGenerator,
                [&] { QRCodeEyeShapeFactory::shared().create(SettingsDict::object()); });
    expectError(QRCodeError::unsupportedGeneratorName, [&] {
        QRCodeEyeShapeFactory::shared().create({{"type", "nothing"}});
    });
    expectError(QRCodeError::unsupportedGeneratorName, [&] { QRCodePupilShapeFactory::shared().named("SQUARE"); });
    expectError(QRCodeError::cannotCreateGenerator, [&] {
        QRCodePupilShapeFactory::shared().create({{"type", nullptr}});
    });
}

TEST(GeneratorRegistry, CreateFromArchives) {
    const auto& pixels = QRCodePixelShapeFactory::shared();
    auto square = pixels.named("square");
    EXPECT_NE(std::dynamic_pointer_cast<PixelShape::Square>(square), nullptr);
    EXPECT_EQ(square->settingValue<std::string>("insetGeneratorName"), "fixed");

    auto withSettings = pixels.named("square", {{"insetFraction", 0.5}});
    EXPECT_EQ(withSettings->settingValue<double>("insetFraction"), 0.5);

    // Settings of the wrong kind mean the defaults.
    auto fromText = pixels.create({{"type", "square"}, {"settings", "inset"}});
    EXPECT_EQ(fromText->settings(), PixelShape::Square::Create()->settings());

    // An archive round trip keeps the settings.
    auto original = PixelShape::Square::Create({{"rotationGeneratorName", "random"}, {"rotationFraction", 0.5}});
    auto restored = pixels.create(pixelShapeArchive(*original));
    EXPECT_EQ(restored->settings(), original->settings());
    EXPECT_EQ(pixels.create(pixelShapeArchive(*PixelShape::Abstract::Create()))->name(), "abstract");

    auto eye = QRCodeEyeShapeFactory::shared().create({{"type", "square"}, {"settings", 4}});
    EXPECT_NE(std::dynamic_pointer_cast<EyeShape::Square>(eye), nullptr);
    EXPECT_EQ(eyeShapeArchive(*eye), (SettingsDict{{"type", "square"}, {"settings", SettingsDict::object()}}));

    auto pupil = QRCodePupilShapeFactory::shared().create({{"type", "square"}, {"settings", {{"flip", 2}}}});
    EXPECT_NE(std::dynamic_pointer_cast<PupilShape::Square>(pupil), nullptr);
    EXPECT_EQ(pupilShapeArchive(*pupil), (SettingsDict{{"type", "square"}, {"settings", SettingsDict::object()}}));
}

TEST(GeneratorRegistry, FactoriesListTheirClasses) {
    // Each registry's names are unique and its list is in title order,
    // compared by character code ("CRT" before "Circle").
    auto check = [](const auto& registry) {
        std::set<std::string_view> names;
        std::string_view previousTitle;
        for (const auto& type : registry.registeredTypes()) {
            EXPECT_TRUE(names.insert(type.name).second) << type.name;
            EXPECT_LE(previousTitle, type.title);
            previousTitle = type.title;
        }
        std::string previousName;
        for (const auto& generator : registry.all()) {
            EXPECT_LE(previousName, std::string(generator->name()));
            previousName = generator->name();
            EXPECT_NE(registry.classNamed(generator->name()), nullptr);
            EXPECT_EQ(registry.classNamed(generator->name())->title, generator->title());
        }
    };
    check(QRCodePixelShapeFactory::shared());
    check(QRCodeEyeShapeFactory::shared());
    check(QRCodePupilShapeFactory::shared());
    EXPECT_EQ(&QRCodePixelShapeFactory::shared(), &QRCodePixelShapeFactory::shared());

    const auto pixelNames = QRCodePixelShapeFactory::shared().availableGeneratorNames();
    EXPECT_NE(std::find(pixelNames.begin(), pixelNames.end(), "square"), pixelNames.end());
    EXPECT_NE(std::find(pixelNames.begin(), pixelNames.end(), "abstract"), pixelNames.end());
    EXPECT_EQ(QRCodePixelShapeFactory().availableGeneratorNames(), pixelNames);
}

TEST(SquareEye, PathsAndSharedDefaultPupil) {
    // (The ring's pixels are the sample-image suite's, its fill rules the eye
    // geometry suite's.)
    EyeShape::Square eye;
    EXPECT_EQ(eye.eyePath().pathBoundingBox(), gfx::Rect(10, 10, 70, 70));
    EXPECT_EQ(eye.eyeBackgroundPath().pathBoundingBox(), gfx::Rect(0, 0, 90, 90));

    auto pupil = eye.defaultPupil();
    EXPECT_EQ(pupil, EyeShape::Square().defaultPupil());
    EXPECT_EQ(pupil, eye.copyShape()->defaultPupil());
    EXPECT_EQ(pupil->name(), "square");
}

TEST(GeneratorRegistry, ConcurrentFirstUseAgrees) {
    // Each test runs in its own process, so this is the registries', the
    // shared outlines' and the shared default pupils' first use: every thread
    // draws its own copy of one random square, every eye and every pupil.
    auto shared = PixelShape::Square::Create({{"insetGeneratorName", "random"}, {"insetFraction", 0.7}});
    const BoolMatrix m(9, std::vector<bool>(81, true));
    struct Drawn {
        gfx::Path pixels;
        std::vector<gfx::Path> outlines;
        std::shared_ptr<QRCodePupilShapeGenerator> sharedPupil;
    };
    const auto draw = [&] {
        Drawn drawn{shared->copyShape()->generatePath(m, gfx::Size{90, 90}), {}, nullptr};
        for (const auto& eye : QRCodeEyeShapeFactory::shared().all()) drawn.outlines.push_back(eye->eyePath());
        for (const auto& pupil : QRCodePupilShapeFactory::shared().all()) drawn.outlines.push_back(pupil->pupilPath());
        drawn.sharedPupil = QRCodeEyeShapeFactory::shared().named("cloud")->defaultPupil();
        return drawn;
    };
    std::vector<Drawn> results(8);
    std::vector<std::thread> threads;
    for (auto& result : results) threads.emplace_back([&] { result = draw(); });
    for (auto& t : threads) t.join();
    const Drawn reference = draw();
    for (const auto& result : results) {
        EXPECT_EQ(result.pixels, reference.pixels);
        EXPECT_EQ(result.outlines, reference.outlines);
        EXPECT_EQ(result.sharedPupil, reference.sharedPupil);
    }
    EXPECT_EQ(reference.pixels, shared->generatePath(m, gfx::Size{90, 90}));
}
