// Decodes the card pictures with GDI+, as Windows sees them, and checks them against the layout the
// program cuts faces by; and checks that the window tests' face colours stay apart from each other
// and from the colours the program paints with.
#include "tests/resources/test_files.h"
#include "tests/windows/data/colour_cards.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <gdiplus.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr int pictureWidth = 647;
constexpr int pictureHeight = 388;
constexpr unsigned rankColumns = 9;
constexpr unsigned suitRows = 4;
constexpr unsigned lowestRank = 6;
// The program's cut: blocks of (width / 9 + 1) by (height / 4); the ace's block ends at the last pixel.
constexpr int blockWidth = pictureWidth / rankColumns + 1;
constexpr int blockHeight = pictureHeight / suitRows;
constexpr unsigned aceColumn = rankColumns - 1;
constexpr std::uint32_t opaque = 0xFF000000;

int blockLeft(unsigned column) {
    return column == aceColumn ? pictureWidth - blockWidth : blockWidth * column;
}
// Column inside a block that belongs to the neighbouring gap, not to the face.
int gapColumnInBlock(unsigned column) { return column == aceColumn ? 0 : blockWidth - 1; }

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;
    std::uint32_t at(int x, int y) const { return argb[y * width + x]; }
};

class CardPicturesTest : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&gdiplusToken, &input, nullptr);
    }
    static void TearDownTestSuite() { Gdiplus::GdiplusShutdown(gdiplusToken); }

    static Picture decode(const wchar_t* fileName) {
        using namespace Gdiplus;
        using namespace Gdiplus::DllExports;
        Picture picture;
        GpBitmap* bitmap = nullptr;
        if (GdipCreateBitmapFromFile(besideTestProgram(fileName).c_str(), &bitmap) != Ok)
            return picture;
        UINT width = 0, height = 0;
        GdipGetImageWidth(bitmap, &width);
        GdipGetImageHeight(bitmap, &height);
        GpRect whole(0, 0, static_cast<INT>(width), static_cast<INT>(height));
        BitmapData pixels{};
        if (GdipBitmapLockBits(bitmap, &whole, ImageLockModeRead, PixelFormat32bppARGB, &pixels) == Ok) {
            picture.width = static_cast<int>(width);
            picture.height = static_cast<int>(height);
            for (UINT y = 0; y < height; ++y) {
                const auto* row = reinterpret_cast<const std::uint32_t*>(
                    static_cast<const BYTE*>(pixels.Scan0) + y * pixels.Stride);
                picture.argb.insert(picture.argb.end(), row, row + width);
            }
            GdipBitmapUnlockBits(bitmap, &pixels);
        }
        GdipDisposeImage(bitmap);
        return picture;
    }

    static ULONG_PTR gdiplusToken;
};
ULONG_PTR CardPicturesTest::gdiplusToken = 0;

TEST_F(CardPicturesTest, ColourPictureHoldsEachFaceInItsColourWhereTheProgramCutsIt) {
    const Picture picture = decode(L"colour_cards.png");
    ASSERT_EQ(picture.width, pictureWidth);
    ASSERT_EQ(picture.height, pictureHeight);
    for (unsigned suit = 0; suit < suitRows; ++suit) {
        for (unsigned column = 0; column < rankColumns; ++column) {
            const std::uint32_t face = opaque | colourCardFace(lowestRank + column, suit);
            int wrongPixels = 0;
            for (int dy = 0; dy < blockHeight; ++dy) {
                for (int dx = 0; dx < blockWidth; ++dx) {
                    const std::uint32_t expected =
                        dx == gapColumnInBlock(column) ? opaque | colourCardGap : face;
                    wrongPixels += picture.at(blockLeft(column) + dx, blockHeight * suit + dy) != expected;
                }
            }
            EXPECT_EQ(wrongPixels, 0) << "column " << column << ", row " << suit;
        }
    }
}

struct Rgb {
    int red, green, blue;
};
Rgb channels(std::uint32_t colour) {
    return {static_cast<int>(colour >> 16 & 0xFF), static_cast<int>(colour >> 8 & 0xFF),
            static_cast<int>(colour & 0xFF)};
}
int squaredDistance(Rgb a, Rgb b) {
    return (a.red - b.red) * (a.red - b.red) + (a.green - b.green) * (a.green - b.green) +
           (a.blue - b.blue) * (a.blue - b.blue);
}

TEST(ColourCardsTest, FaceColoursStayApartFromEachOtherAndFromThePaintedColours) {
    // Table grey, card back green, selection blue, white, black, light grey, pink and yellow highlights.
    const Rgb painted[] = {{127, 127, 127}, {0, 120, 0},     {0, 0, 255},     {255, 255, 255},
                           {0, 0, 0},       {192, 192, 192}, {255, 190, 190}, {255, 255, 100}};
    constexpr int closestFaces = 24;
    constexpr int closestToPainted = 50;
    std::vector<Rgb> colours{channels(colourCardGap)};
    for (unsigned suit = 0; suit < suitRows; ++suit)
        for (unsigned column = 0; column < rankColumns; ++column)
            colours.push_back(channels(colourCardFace(lowestRank + column, suit)));

    for (size_t i = 0; i < colours.size(); ++i) {
        for (size_t j = i + 1; j < colours.size(); ++j)
            EXPECT_GE(squaredDistance(colours[i], colours[j]), closestFaces * closestFaces)
                << i << " and " << j;
        for (const Rgb& colour : painted)
            EXPECT_GE(squaredDistance(colours[i], colour), closestToPainted * closestToPainted)
                << i << " and (" << colour.red << ", " << colour.green << ", " << colour.blue << ")";
    }
}

bool isRedInk(std::uint32_t colour) {
    const Rgb rgb = channels(colour);
    return rgb.red > 150 && rgb.green < 80 && rgb.blue < 80;
}

TEST_F(CardPicturesTest, CardPictureHasOpaqueFacesBesideOneGapColourAndRedSuitsInRowsOneAndThree) {
    const Picture picture = decode(L"cards.png");
    ASSERT_EQ(picture.width, pictureWidth);
    ASSERT_EQ(picture.height, pictureHeight);
    for (std::uint32_t pixel : picture.argb)
        ASSERT_EQ(pixel & opaque, opaque);

    const std::uint32_t gap = picture.at(blockWidth - 1, 0);
    for (unsigned suit = 0; suit < suitRows; ++suit) {
        const bool redSuit = suit == 1 || suit == 3;
        for (unsigned column = 0; column < rankColumns; ++column) {
            const int left = blockLeft(column), top = blockHeight * suit;
            int gapPixels = 0, redPixels = 0;
            for (int dy = 0; dy < blockHeight; ++dy) {
                gapPixels += picture.at(left + gapColumnInBlock(column), top + dy) == gap;
                for (int dx = 0; dx < blockWidth; ++dx)
                    redPixels += isRedInk(picture.at(left + dx, top + dy));
            }
            EXPECT_EQ(gapPixels, blockHeight) << "column " << column << ", row " << suit;
            // The face's middle is the card's white, not the gap's colour: the face is not shifted.
            EXPECT_EQ(picture.at(left + blockWidth / 2, top + 2), opaque | 0xFFFFFF)
                << column << ", " << suit;
            if (redSuit)
                EXPECT_GT(redPixels, 100) << "column " << column << ", row " << suit;
            else
                EXPECT_EQ(redPixels, 0) << "column " << column << ", row " << suit;
        }
    }
}

} // namespace
