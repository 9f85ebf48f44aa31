#include "windows/dialog_template.h"
#include "dialog_template_reader.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t SetFont = 0x40;

DialogItem Item(std::uint16_t id, std::u16string className, std::u16string text) {
    return DialogItem{0x50010000u + id,     0x200u + id,    static_cast<std::int16_t>(id), -2, 30, 10, id,
                      std::move(className), std::move(text)};
}

// --- The bytes of a small template, written out by hand from the platform's layout ---

TEST(DialogTemplateLayout, SmallTemplateByteForByte) {
    const DialogHeader header{0x80C800C0u, 0x00010000u, 134, 120, 237, 202, u"Q", 8, u"MS"};
    const std::vector<std::uint8_t> bytes =
        WriteDialogTemplate(header, {DialogItem{0x50000000u, 0x200u, 1, 2, 3, 4, 1005, u"E", u"ab"}});
    // clang-format off
    const std::vector<std::uint8_t> expected = {
        0xC0, 0x00, 0xC8, 0x80,  0x00, 0x00, 0x01, 0x00,  0x01, 0x00,   // style, extended style, one item
        0x86, 0x00, 0x78, 0x00, 0xED, 0x00, 0xCA, 0x00,                 // 134, 120, 237, 202
        0x00, 0x00, 0x00, 0x00,                                         // no menu, default class
        'Q', 0x00, 0x00, 0x00,                                          // caption
        0x08, 0x00, 'M', 0x00, 'S', 0x00, 0x00, 0x00,                   // 8 points, "MS"
        0x00, 0x00,                                                     // padding to offset 36
        0x00, 0x00, 0x00, 0x50,  0x00, 0x02, 0x00, 0x00,                // item style, extended style
        0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x04, 0x00,                 // 1, 2, 3, 4
        0xED, 0x03,                                                     // id 1005
        'E', 0x00, 0x00, 0x00,                                          // class
        'a', 0x00, 'b', 0x00, 0x00, 0x00,                               // text
        0x00, 0x00,                                                     // no creation data
    };
    // clang-format on
    EXPECT_EQ(bytes, expected);
}

TEST(DialogTemplateLayout, NoFontBlockWithoutTheFontStyle) {
    const DialogHeader header{0x80000000u, 0, 0, 0, 10, 10, u"", 8, u"MS Sans Serif"};
    const std::vector<std::uint8_t> bytes = WriteDialogTemplate(header, {});
    EXPECT_EQ(bytes.size(), 24u); // 18 bytes of header fields, menu, class and an empty caption
    const ReadDialog read = ReadDialogTemplate(bytes);
    EXPECT_FALSE(read.HasFont);
    EXPECT_EQ(read.End, bytes.size());
}

TEST(DialogTemplateLayout, NegativeCoordinatesAreTwosComplement) {
    const DialogHeader header{0, 0, -1, -32768, 32767, 0, u"", 0, u""};
    const std::vector<std::uint8_t> bytes = WriteDialogTemplate(header, {});
    EXPECT_EQ(bytes[10], 0xFF);
    EXPECT_EQ(bytes[11], 0xFF);
    EXPECT_EQ(bytes[12], 0x00);
    EXPECT_EQ(bytes[13], 0x80);
    EXPECT_EQ(bytes[14], 0xFF);
    EXPECT_EQ(bytes[15], 0x7F);
}

// --- Every item starts on a 4-byte boundary, whatever the lengths before it ---

TEST(DialogTemplateAlignment, ItemsStartOnDwordBoundaries) {
    for (std::size_t captionLength = 0; captionLength < 6; ++captionLength) {
        for (std::size_t faceLength = 0; faceLength < 4; ++faceLength) {
            const DialogHeader header{
                SetFont, 0, 0, 0, 10, 10, std::u16string(captionLength, u'c'), 8, std::u16string(faceLength, u'f')};
            std::vector<DialogItem> items;
            for (std::uint16_t id = 0; id < 5; ++id) {
                items.push_back(Item(id, std::u16string(1 + id % 3, u'K'), std::u16string(id, u't')));
            }
            const std::vector<std::uint8_t> bytes = WriteDialogTemplate(header, items);
            const ReadDialog read = ReadDialogTemplate(bytes);
            ASSERT_EQ(read.Items.size(), items.size());
            for (const ReadDialogItem& item : read.Items) {
                EXPECT_EQ(item.Offset % 4, 0u) << "caption " << captionLength << " face " << faceLength;
            }
            EXPECT_EQ(read.End, bytes.size());
        }
    }
}

TEST(DialogTemplateAlignment, PaddingIsZeroAndMeasuredFromTheStart) {
    std::vector<std::uint8_t> bytes{1, 2, 3, 4, 5};
    AlignToDword(bytes);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 0, 0, 0}));
    AlignToDword(bytes);
    EXPECT_EQ(bytes.size(), 8u);
}

// --- What goes in comes out ---

TEST(DialogTemplateRoundTrip, HeaderAndItemsReadBack) {
    const DialogHeader header{0x90C800D4u, 0x00010000u, 102, 88, 211, 180, u"Custom \u00F6\u20AC", 8, u"MS Sans Serif"};
    std::vector<DialogItem> items;
    for (std::uint16_t id = 1026; id <= 1035; ++id) {
        items.push_back(Item(id, id < 1030 ? u"STATIC" : u"EDIT", std::u16string(id - 1020, u'x')));
    }
    const ReadDialog read = ReadDialogTemplate(WriteDialogTemplate(header, items));
    EXPECT_EQ(read.Style, header.Style);
    EXPECT_EQ(read.ExtendedStyle, header.ExtendedStyle);
    EXPECT_EQ(read.ItemCount, items.size());
    EXPECT_EQ(read.X, 102);
    EXPECT_EQ(read.Y, 88);
    EXPECT_EQ(read.Width, 211);
    EXPECT_EQ(read.Height, 180);
    EXPECT_EQ(read.Menu, 0);
    EXPECT_EQ(read.WindowClass, 0);
    EXPECT_EQ(read.Caption, header.Caption);
    EXPECT_EQ(read.FontPoints, 8);
    EXPECT_EQ(read.FontFace, u"MS Sans Serif");
    ASSERT_EQ(read.Items.size(), items.size());
    for (std::size_t index = 0; index < items.size(); ++index) {
        const DialogItem& want = items[index];
        const ReadDialogItem& have = read.Items[index];
        EXPECT_EQ(have.Style, want.Style);
        EXPECT_EQ(have.ExtendedStyle, want.ExtendedStyle);
        EXPECT_EQ(have.X, want.X);
        EXPECT_EQ(have.Y, want.Y);
        EXPECT_EQ(have.Width, want.Width);
        EXPECT_EQ(have.Height, want.Height);
        EXPECT_EQ(have.Id, want.Id);
        EXPECT_EQ(have.ClassName, want.ClassName);
        EXPECT_EQ(have.Text, want.Text);
        EXPECT_EQ(have.CreationDataSize, 0);
    }
}

// --- Texts the platform would misread are refused, not written ---

TEST(DialogTemplateRefusals, TextsThatWouldBeMisread) {
    const DialogHeader good{SetFont, 0, 0, 0, 10, 10, u"ok", 8, u"MS Sans Serif"};
    struct Case {
        const char* Name;
        DialogHeader Header;
        DialogItem Item;
    };
    const std::u16string ordinalLike(1, u'\xFFFF');
    const std::u16string withZero(u"a\0b", 3);
    const Case cases[] = {
        {"caption read as ordinal", {SetFont, 0, 0, 0, 1, 1, ordinalLike, 8, u"F"}, Item(1, u"EDIT", u"")},
        {"zero inside the caption", {SetFont, 0, 0, 0, 1, 1, withZero, 8, u"F"}, Item(1, u"EDIT", u"")},
        {"zero inside the face", {SetFont, 0, 0, 0, 1, 1, u"c", 8, withZero}, Item(1, u"EDIT", u"")},
        {"class read as ordinal", good, Item(1, ordinalLike, u"")},
        {"empty class", good, Item(1, u"", u"text")},
        {"text read as ordinal", good, Item(1, u"EDIT", ordinalLike + u"x")},
        {"zero inside the text", good, Item(1, u"EDIT", withZero)},
    };
    for (const Case& c : cases) {
        EXPECT_THROW(WriteDialogTemplate(c.Header, {c.Item}), std::invalid_argument) << c.Name;
    }
    EXPECT_NO_THROW(WriteDialogTemplate(good, {Item(1, u"EDIT", u"\u00FF\uFFFE")}));
}

} // namespace
