#include "windows/main_window_layout.h"
#include "windows/window_styles.h"
#include "dialog_template_reader.h"
#include "windows/control_ids.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using namespace WindowStyle;

// --- The window itself ---

TEST(MainWindowTemplate, Header) {
    const ReadDialog read = ReadDialogTemplate(MainWindowTemplate());
    EXPECT_EQ(read.Style, Popup | Visible | ClipSiblings | Caption | SysMenu | DialogModalFrame | DialogSetFont |
                              DialogNoFailCreate | Dialog3dLook);
    EXPECT_EQ(read.ExtendedStyle, ExControlParent);
    EXPECT_EQ(read.X, 134);
    EXPECT_EQ(read.Y, 120);
    EXPECT_EQ(read.Width, 237);
    EXPECT_EQ(read.Height, 202);
    EXPECT_EQ(read.Menu, 0);
    EXPECT_EQ(read.Caption, u"Quillmere 1.22BETA");
    EXPECT_EQ(read.FontPoints, 8);
    EXPECT_EQ(read.FontFace, u"MS Sans Serif");
    EXPECT_EQ(read.ItemCount, 26);
}

// --- Each control kind's class and style ---

TEST(MainWindowTemplate, KindStyles) {
    struct Case {
        ControlKind Kind;
        bool Group;
        std::u16string ClassName;
        std::uint32_t Style;
        std::uint32_t ExtendedStyle;
    };
    const Case cases[] = {
        {ControlKind::Label, false, u"STATIC", Child | Visible, 0},
        {ControlKind::TextBox, false, u"EDIT", Child | Visible | TabStop | EditAutoHScroll, ExClientEdge},
        {ControlKind::TextBox, true, u"EDIT", Child | Visible | TabStop | EditAutoHScroll | Group, ExClientEdge},
        {ControlKind::OptionButton, false, u"BUTTON", Child | Visible | TabStop | ButtonAutoRadio, 0},
        {ControlKind::OptionButton, true, u"BUTTON",
         Child | Visible | TabStop | ButtonAutoRadio | Group | ButtonLeft | ButtonVCenter, 0},
        {ControlKind::PushButton, false, u"BUTTON", Child | Visible | TabStop, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ControlClassName(c.Kind), c.ClassName);
        EXPECT_EQ(ControlStyle(c.Kind, c.Group), c.Style) << static_cast<int>(c.Kind) << " group " << c.Group;
        EXPECT_EQ(ControlExtendedStyle(c.Kind), c.ExtendedStyle);
    }
}

// --- The control table as written into the template ---

TEST(MainWindowTemplate, ItemsFollowTheTableInOrder) {
    const ReadDialog read = ReadDialogTemplate(MainWindowTemplate());
    ASSERT_EQ(read.Items.size(), MainWindowControls.size());
    for (std::size_t index = 0; index < MainWindowControls.size(); ++index) {
        const ControlRow& row = MainWindowControls[index];
        const ReadDialogItem& item = read.Items[index];
        EXPECT_EQ(item.Id, row.Id);
        EXPECT_EQ(item.X, row.X);
        EXPECT_EQ(item.Y, row.Y);
        EXPECT_EQ(item.Width, row.Width);
        EXPECT_EQ(item.Height, row.Height);
        EXPECT_EQ(item.Style, ControlStyle(row.Kind, row.StartsGroup));
        EXPECT_EQ(item.ClassName, ControlClassName(row.Kind));
        EXPECT_EQ(item.Offset % 4, 0u);
    }
    EXPECT_EQ(read.Items[9].Text, u"L\u00F6fgren A");
    EXPECT_EQ(read.Items[10].Text, u"L\u00F6fgren B");
    EXPECT_EQ(read.Items[25].Text, u"");
    EXPECT_EQ(read.End, MainWindowTemplate().size());
}

TEST(MainWindowTable, IdentifiersAndGroups) {
    std::set<int> ids;
    int groups = 0;
    for (const ControlRow& row : MainWindowControls) {
        EXPECT_TRUE(ids.insert(row.Id).second) << "duplicate " << row.Id;
        EXPECT_TRUE(row.Id >= 1001 && row.Id <= 1037 && row.Id != 1004 && !(row.Id >= 1026 && row.Id <= 1035))
            << row.Id;
        groups += row.StartsGroup ? 1 : 0;
    }
    EXPECT_EQ(groups, 2);
    EXPECT_EQ(MainWindowControls[3].Id, ControlId::SpindleToPivotField);
    EXPECT_TRUE(MainWindowControls[3].StartsGroup);
    EXPECT_EQ(MainWindowControls[9].Id, ControlId::LofgrenAButton);
    EXPECT_TRUE(MainWindowControls[9].StartsGroup);
}

// Rows of the table as the window's layout describes them: labels at x 20, fields at 115, units at 155,
// presets and Help at 185, option buttons at 20 and print buttons at 80 and 150.
TEST(MainWindowTable, Columns) {
    for (const ControlRow& row : MainWindowControls) {
        switch (row.Kind) {
        case ControlKind::Label:
            EXPECT_TRUE(row.X == 20 || (row.X == 155 && row.Text == "mm")) << row.Id;
            break;
        case ControlKind::TextBox:
            EXPECT_EQ(row.X, 115) << row.Id;
            EXPECT_EQ(row.Height, 10) << row.Id;
            break;
        case ControlKind::OptionButton:
            EXPECT_EQ(row.X, 20) << row.Id;
            break;
        case ControlKind::PushButton:
            EXPECT_TRUE(row.X == 80 || row.X == 150 || row.X == 185) << row.Id;
            break;
        }
    }
}

} // namespace
