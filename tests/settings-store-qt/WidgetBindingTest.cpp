#include "tests/settings-store-qt/QtTestSupport.h"

#include "settings-store/qt/Toggle.h"
#include "settings-store/qt/WidgetBinding.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>

#include <memory>
#include <vector>

using namespace Defaults;

namespace {

// A spin box 0...100 on `number`, counting the binding's refreshes.
struct Binding : QtSettings {
    QSpinBox box;
    int refreshes = 0;
    std::unique_ptr<WidgetBinding> counted() {
        box.setRange(0, 100);
        auto binding = bindWidget(
            number, &box, &QSpinBox::valueChanged,
            [this](QSpinBox& b, int v) {
                ++refreshes;
                b.setValue(v);
            },
            [](const QSpinBox& b) { return b.value(); });
        pumpEvents();
        refreshes = 0;
        return binding;
    }
};

TEST_F(Binding, EditsGoToTheKeyAndEveryWidgetOnItRefreshesWithoutWritingBack) {
    number.set(5);
    QSpinBox second;
    box.setRange(0, 100);
    second.setRange(0, 100);
    auto b1 = bindWidget(number, &box);
    auto b2 = bindWidget(number, &second);
    EXPECT_EQ(box.value(), 5); // shown at once
    EXPECT_EQ(second.value(), 5);
    int reports = 0;
    auto observation = observe(number, {}, [&](const KeyChange<int>&) { ++reports; });

    box.setValue(42); // as if the user had changed it
    EXPECT_EQ(number.get(), 42);
    EXPECT_EQ(reports, 1);
    pumpEvents();
    EXPECT_EQ(second.value(), 42);

    number.set(9);
    pumpEvents();
    EXPECT_EQ(box.value(), 9);
    EXPECT_EQ(second.value(), 9);
    EXPECT_EQ(reports, 2); // the refreshes wrote nothing

    reset(number); // a removal shows the default
    pumpEvents();
    EXPECT_EQ(box.value(), 3);
    EXPECT_EQ(second.value(), 3);
}

TEST_F(Binding, ManyWritesInOneTurnRefreshOnceAndNoneAfterReleaseOrTheWidgetIsGone) {
    auto binding = counted();
    for (int i = 1; i <= 12; ++i) number.set(10 + i);
    pumpEvents();
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(box.value(), 22);

    // No refresh after release.
    refreshes = 0;
    number.set(50); // refresh queued
    binding.reset();
    pumpEvents();
    EXPECT_EQ(refreshes, 0);
    EXPECT_EQ(box.value(), 22);
    box.setValue(60); // no longer written to the key
    EXPECT_EQ(number.get(), 50);

    auto gone = std::make_unique<QSpinBox>();
    auto orphan = bindWidget(number, gone.get());
    gone.reset();
    number.set(51);
    pumpEvents(); // nothing to refresh, nothing breaks
    orphan->refresh();
}

TEST_F(Binding, StandardControlsShowAndWrite) {
    QCheckBox check;
    auto b1 = bindWidget(flag, &check);
    check.click();
    EXPECT_TRUE(flag.get());

    QSlider slider;
    slider.setRange(0, 10);
    auto b2 = bindWidget(number, &slider);
    EXPECT_EQ(slider.value(), 3);

    QComboBox combo;
    combo.addItems({"a", "b", "c", "d"});
    Key<int> index("index", 2, suite);
    auto b3 = bindWidget(index, &combo);
    EXPECT_EQ(combo.currentIndex(), 2);
    combo.setCurrentIndex(1);
    EXPECT_EQ(index.get(), 1);

    QLineEdit edit;
    Key<std::string> text("text", "hello", suite);
    auto b4 = bindWidget(text, &edit);
    EXPECT_EQ(edit.text(), "hello");
    text.set("grün");
    pumpEvents();
    EXPECT_EQ(edit.text(), QString::fromUtf8("grün"));
}

TEST_F(Binding, ToggleWritesTheKeyAndCallsItsHandlerOncePerChange) {
    std::vector<bool> handled;
    Toggle toggle("Show hints", flag);
    toggle.onChange([&](bool on) { handled.push_back(on); });
    EXPECT_EQ(toggle.text(), "Show hints");
    EXPECT_FALSE(toggle.isChecked());
    pumpEvents();
    EXPECT_TRUE(handled.empty()); // not for the first value

    toggle.click();
    EXPECT_TRUE(flag.get());
    pumpEvents();
    EXPECT_EQ(handled, std::vector<bool>{true});

    flag.set(false); // changed elsewhere
    pumpEvents();
    EXPECT_FALSE(toggle.isChecked());
    EXPECT_EQ(handled, (std::vector<bool>{true, false}));

    Toggle silent(flag);
    silent.click();
    pumpEvents();
    EXPECT_TRUE(flag.get());
    EXPECT_TRUE(toggle.isChecked());
}

} // namespace
