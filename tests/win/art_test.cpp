// The pictures built into the program for screens of higher density: the larger
// bitmap strips load at their sizes, and every icon holds an image made for each
// size the system asks for, rather than one the system would have to stretch.
#include "resources/resource.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

// The width of the icon image the system picks for size x size from the group, or
// 0 if the group or its image is missing.
int PickedIconWidth(HINSTANCE instance, UINT id, int size)
{
    HRSRC group = FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
    if (!group)
        return 0;
    auto* directory = static_cast<BYTE*>(LockResource(LoadResource(instance, group)));
    const int imageId = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
    HRSRC image = FindResourceW(instance, MAKEINTRESOURCEW(imageId), MAKEINTRESOURCEW(3));  // RT_ICON
    if (!image || SizeofResource(instance, image) < sizeof(BITMAPINFOHEADER))
        return 0;
    const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(instance, image)));
    return header->biWidth;
}

} // namespace

TEST(LargerArt, StripsAndIconsAtEverySize)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    const struct {
        UINT id;
        LONG width, height;
        WORD bits;
    } strips[] = {
        {IDR_MAINTOOLBAR, 11 * 16, 15, 8},        {IDB_TOOLBAR_24, 11 * 24, 23, 8},
        {IDB_TOOLBAR_32, 11 * 32, 30, 8},         {IDB_OPTION_IMAGES, 8 * 16, 16, 8},
        {IDB_OPTION_IMAGES_24, 8 * 24, 24, 8},    {IDB_OPTION_IMAGES_32, 8 * 32, 32, 8},
        {IDB_ABOUT_LOGO_2X, 312, 128, 24},        {IDB_TIP_BULB_2X, 52, 64, 24},
    };
    for (const auto& strip : strips) {
        HBITMAP bitmap = static_cast<HBITMAP>(
            LoadImageW(instance, MAKEINTRESOURCEW(strip.id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        ASSERT_NE(bitmap, nullptr) << strip.id;
        BITMAP info = {};
        GetObjectW(bitmap, sizeof(info), &info);
        EXPECT_EQ(info.bmWidth, strip.width) << strip.id;
        EXPECT_EQ(info.bmHeight, strip.height) << strip.id;
        EXPECT_EQ(info.bmBitsPixel, strip.bits) << strip.id;
        DeleteObject(bitmap);
    }

    for (UINT id : {IDR_MAINFRAME, IDI_TRAY_SHOWN, IDI_TRAY_HIDDEN, IDI_BANNER_LOOK, IDI_FONT_STYLES,
                    IDI_DICT_SELECT, IDI_DICT_CAPTURE, IDI_VOICE_PAGE, IDI_INTERFACE_PAGE, IDI_TREE_GROUP,
                    IDI_TREE_PAGE}) {
        for (int size : {16, 20, 24, 32, 48}) {
            EXPECT_EQ(PickedIconWidth(instance, id, size), size) << "icon " << id;
            HICON icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
            ASSERT_NE(icon, nullptr) << "icon " << id << " at " << size;
            ICONINFO parts = {};
            ASSERT_TRUE(GetIconInfo(icon, &parts));
            BITMAP colour = {};
            GetObjectW(parts.hbmColor, sizeof(colour), &colour);
            EXPECT_EQ(colour.bmWidth, size) << "icon " << id;
            DeleteObject(parts.hbmColor);
            DeleteObject(parts.hbmMask);
            DestroyIcon(icon);
        }
    }
}
