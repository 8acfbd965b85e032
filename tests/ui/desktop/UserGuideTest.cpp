// Help > User Guide: the installed guide shown in a window of its own, its link to the
// command line's page followed there, and a clear word when it is not installed. The first
// start's empty list says how to begin.

#include "DesktopTestSupport.h"
#include "desktop/UserGuide.h"

#include <QMenu>
#include <QTextBrowser>

namespace {

// The pages as the build tree holds them beside the program, as an installed one has them.
const QString BUILT_GUIDE_DIR = QStringLiteral(VELTRIX_BUILD_DIR "/share/veltrix");

TEST_F(DesktopTest, UserGuideShowsTheInstalledGuideAndFollowsItsLinks)
{
    CUserGuide& guide = *fixture.features.userGuide;
    EXPECT_EQ(Frame().Menu(HostMenu::Help)->actions().value(0), guide.Action());
    guide.SetFolders({Path("nowhere"), BUILT_GUIDE_DIR});
    guide.Action()->trigger();
    ASSERT_NE(guide.Window(), nullptr);
    EXPECT_TRUE(guide.Window()->isVisible());
    EXPECT_EQ(guide.Window()->windowTitle(), "Veltrix User Guide");
    // Rendered, not shown as Markdown: headings and tables without their marks, the
    // comment for the man page left out.
    const QString text = guide.Browser()->toPlainText();
    EXPECT_TRUE(text.contains("Building a bank")) << text.left(200).toStdString();
    EXPECT_TRUE(text.contains("Open Syx File(s)..."));
    EXPECT_FALSE(text.contains("## ")) << "markdown shown raw";
    EXPECT_FALSE(text.contains("markdown-to-man"));
    EXPECT_FALSE(text.contains("-->"));

    guide.Browser()->setSource(QUrl("veltrix-cli.md"));
    EXPECT_TRUE(guide.Browser()->toPlainText().contains("veltrix-cli receive"));
    EXPECT_TRUE(fixture.messageBox.shown.empty());
}

TEST_F(DesktopTest, AGuideThatIsNotInstalledIsToldWithWhereItWasLookedFor)
{
    CUserGuide& guide = *fixture.features.userGuide;
    guide.SetFolders({Path("nowhere")});
    guide.Action()->trigger();
    EXPECT_EQ(guide.Window(), nullptr);
    ASSERT_EQ(fixture.messageBox.shown.size(), 1u);
    EXPECT_TRUE(fixture.messageBox.shown[0].text.startsWith("The user guide is not installed."));
    EXPECT_TRUE(fixture.messageBox.shown[0].text.contains(Path("nowhere")));

    // The program's own place comes first: an installed one finds it under its prefix.
    EXPECT_TRUE(UserGuideFolders().first().endsWith("/../share/veltrix"));
}

TEST_F(DesktopTest, TheEmptyListSaysHowToBegin)
{
    EXPECT_EQ(Grid().EmptyText(), "Open a .syx file (Ctrl+O) or drop one here");
    EXPECT_EQ(Grid().accessibleDescription(), Grid().EmptyText());
    Open({WriteOne("One.syx", "Lead")});
    EXPECT_EQ(Grid().accessibleDescription(), QString());
}

}  // namespace
