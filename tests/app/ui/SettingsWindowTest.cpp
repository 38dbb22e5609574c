// The Settings window's two tabs write their keys at once, and an open
// design panel follows them.
#include "UiTestSupport.h"

#include "app/ui/CollapsibleGroup.h"
#include "app/ui/ColorInput.h"
#include "app/ui/DesignPanel.h"
#include "app/ui/SettingsWindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QTabWidget>

using namespace Tessivo;
using namespace Tessivo::ui;

using SettingsWindow = FreshSettings;

TEST_F(SettingsWindow, TabsWriteTheirKeysAndThePanelFollowsAtOnce) {
    ShapeLists shapes;
    DesignPanel panel(shapes);
    panel.resize(260, 900);
    panel.show();
    SettingsView settings;
    settings.show();
    pumpEvents();

    ASSERT_EQ(settings.tabs()->count(), 2);
    EXPECT_EQ(settings.tabs()->tabText(0), "General");
    EXPECT_EQ(settings.tabs()->tabText(1), "Colors");
    GeneralSettingsTab* general = settings.generalTab();
    ColorSettingsTab* colors = settings.colorTab();
    EXPECT_TRUE(general->advancedChoice()->isChecked());
    EXPECT_EQ(colors->unifiedCaption()->text(), "When off, eye/pupil/pixel colors can be set independently.");

    // Basic: the panel drops its groups, the unified toggle greys out but
    // still shows its value, and the caption explains why.
    Keys::unifiedColor().set(true);
    clickBox(general->basicChoice());
    EXPECT_EQ(Keys::layoutMode().get(), 0);
    pumpEvents();
    for (auto* group : panel.groups()) EXPECT_FALSE(group->isVisibleTo(&panel));
    EXPECT_TRUE(panel.basicBackgroundColorInput()->isVisibleTo(&panel));
    EXPECT_FALSE(colors->unifiedColorToggle()->isEnabled());
    EXPECT_TRUE(colors->unifiedColorToggle()->isChecked());
    EXPECT_TRUE(colors->unifiedCaption()->text().startsWith("Basic layout always uses a single foreground color."));

    clickBox(general->advancedChoice());
    EXPECT_EQ(Keys::layoutMode().get(), 1);
    pumpEvents();
    EXPECT_TRUE(colors->unifiedColorToggle()->isEnabled());
    for (auto* group : panel.groups()) EXPECT_TRUE(group->isVisibleTo(&panel));

    // A hand-edited 2 is Advanced everywhere, and showing it writes nothing.
    Keys::layoutMode().set(2);
    pumpEvents();
    EXPECT_TRUE(general->advancedChoice()->isChecked());
    EXPECT_TRUE(colors->unifiedColorToggle()->isEnabled());
    EXPECT_EQ(Keys::layoutMode().get(), 2);

    settings.tabs()->setCurrentIndex(1);
    pumpEvents();
    clickBox(colors->unifiedColorToggle());
    EXPECT_FALSE(Keys::unifiedColor().get());
    clickBox(colors->hexInputToggle());
    EXPECT_TRUE(Keys::useHexColorInput().get());
    pumpEvents();
    EXPECT_TRUE(panel.eyeColorInput()->showsHexField());
    EXPECT_TRUE(panel.backgroundColorInput()->showsHexField());
    EXPECT_TRUE(panel.eyeColorInput()->isVisibleTo(&panel) || !panel.groups()[0]->isExpanded());
}
