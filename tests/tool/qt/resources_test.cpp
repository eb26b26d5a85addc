// The program's resources: string 101, the three icons at their sizes and colour depths, the
// version information and the two templates.
#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>

#include "cstring.h"
#include "dialog_template.h"
#include "resource.h"
#include "tool_resources.h"

namespace {

QImage IconImage(UINT id) { return QImage(QString::fromUtf8(ToolResources().iconFile(id))); }

}  // namespace

TEST(ResourcesTest, String101IsTheAboutCommand) {
    CString text;
    EXPECT_TRUE(text.LoadString(IDS_ABOUTBOX));
    EXPECT_EQ(text.str(), "关于 KQ_Tools(&A)...");
    EXPECT_FALSE(text.LoadString(102));
    EXPECT_TRUE(text.IsEmpty());
}

TEST(ResourcesTest, ApplicationIconIs128PixelsInFullColour) {
    const QImage icon = IconImage(IDR_MAINFRAME);
    EXPECT_EQ(icon.size(), QSize(128, 128));
    EXPECT_TRUE(icon.hasAlphaChannel());
    EXPECT_EQ(icon.depth(), 32);
}

TEST(ResourcesTest, LampsAre32PixelsIn16ColoursRedAndGreen) {
    for (const UINT id : {IDI_LAMP_RED, IDI_LAMP_GREEN}) {
        const QImage lamp = IconImage(id);
        EXPECT_EQ(lamp.size(), QSize(32, 32)) << id;
        EXPECT_LE(lamp.colorCount(), 16) << id;
        EXPECT_GT(lamp.colorCount(), 0) << id;
        EXPECT_EQ(qAlpha(lamp.pixel(0, 0)), 0) << id;  // round, on a transparent ground
        const QRgb body = lamp.pixel(20, 20);
        const bool red = qRed(body) > qGreen(body);
        EXPECT_EQ(red, id == IDI_LAMP_RED) << id;
    }
}

TEST(ResourcesTest, VersionIs1001ChineseKqTools) {
    const VersionInfo* version = ToolResources().version;
    ASSERT_NE(version, nullptr);
    EXPECT_STREQ(version->fileVersion, "1.0.0.1");
    EXPECT_STREQ(version->productVersion, "1.0.0.1");
    EXPECT_STREQ(version->internalName, "KQ_Tools");
    EXPECT_EQ(version->language, 0x0804);
}

TEST(ResourcesTest, TemplatesAreFoundByTheirIds) {
    ASSERT_NE(ToolResources().findDialog(IDD_ABOUTBOX), nullptr);
    ASSERT_NE(ToolResources().findDialog(IDD_KQ_TOOLS_DIALOG), nullptr);
    EXPECT_EQ(ToolResources().findDialog(IDD_ABOUTBOX)->controls.size(), 4u);
    EXPECT_EQ(ToolResources().findDialog(IDD_KQ_TOOLS_DIALOG)->controls.size(), 52u);
    EXPECT_EQ(ToolResources().findDialog(101), nullptr);
    EXPECT_EQ(ToolResources().iconFile(131), nullptr);
}
