// Decodes the card pictures with GDI+, as Windows sees them, and checks them against the program's own
// cut of the faces; and checks that the window tests' face colours stay apart from each other and from
// the colours the program paints with.
#include "tests/windows/data/colour_cards.h"
#include "window/table_layout.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <gdiplus.h>

#include <cstdint>
#include <vector>

namespace {
constexpr int pictureWidth = 647;
constexpr int pictureHeight = 388;
constexpr std::uint32_t opaque = 0xFF000000;
const CardMetrics metrics = cardMetricsForPicture(pictureWidth, pictureHeight);

// The pixels as 0xAARRGGBB, row by row; nothing when the file cannot be decoded.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;
    std::uint32_t at(int x, int y) const { return argb[y * width + x]; }
};

// The pictures lie in the folder the test runs in.
Picture decode(const wchar_t* fileName) {
    using namespace Gdiplus;
    static const bool gdiplusStarted = [] { // and kept until the process ends
        ULONG_PTR token = 0;
        GdiplusStartupInput input;
        return GdiplusStartup(&token, &input, nullptr) == Ok;
    }();
    Picture picture;
    Bitmap bitmap(fileName);
    Gdiplus::Rect whole(0, 0, static_cast<INT>(bitmap.GetWidth()), static_cast<INT>(bitmap.GetHeight()));
    BitmapData pixels{};
    if (!gdiplusStarted || bitmap.LockBits(&whole, ImageLockModeRead, PixelFormat32bppARGB, &pixels) != Ok)
        return picture;
    picture.width = whole.Width;
    picture.height = whole.Height;
    for (int y = 0; y < whole.Height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(static_cast<const BYTE*>(pixels.Scan0) +
                                                                 y * pixels.Stride);
        picture.argb.insert(picture.argb.end(), row, row + whole.Width);
    }
    bitmap.UnlockBits(&pixels);
    return picture;
}

// A card's block where the program cuts it, and the block's column that lies in the one-pixel gap
// beside the face (the ace's block starts one pixel early, in the gap before it).
struct CutFace {
    unsigned rank, suit;
    int left, top, gapColumn;
};
std::vector<CutFace> cutFaces() {
    std::vector<CutFace> faces;
    for (unsigned suit = 0; suit < 4; ++suit)
        for (unsigned rank = 6; rank <= 14; ++rank) {
            Rect block{};
            EXPECT_TRUE(cardFaceSource(makeCard(rank, suit), metrics, pictureWidth, pictureHeight, block));
            EXPECT_EQ(block.right - block.left, metrics.width);
            faces.push_back({rank, suit, block.left, block.top, rank == 14 ? 0 : metrics.width - 1});
        }
    return faces;
}

TEST(CardPictures, ColourPictureHoldsEachFaceInItsColourWhereTheProgramCutsIt) {
    const Picture picture = decode(L"colour_cards.png");
    ASSERT_EQ(picture.width, pictureWidth);
    ASSERT_EQ(picture.height, pictureHeight);
    for (const CutFace& face : cutFaces()) {
        int wrongPixels = 0;
        for (int dy = 0; dy < metrics.height; ++dy)
            for (int dx = 0; dx < metrics.width; ++dx)
                wrongPixels +=
                    picture.at(face.left + dx, face.top + dy) !=
                    (opaque | (dx == face.gapColumn ? colourCardGap : colourCardFace(face.rank, face.suit)));
        EXPECT_EQ(wrongPixels, 0) << "rank " << face.rank << ", suit " << face.suit;
    }
}

bool isRedInk(std::uint32_t argb) {
    return (argb >> 16 & 0xFF) > 150 && (argb >> 8 & 0xFF) < 80 && (argb & 0xFF) < 80;
}

TEST(CardPictures, CardPictureHasOpaqueFacesBesideOneGapColourAndRedSuitsInRowsOneAndThree) {
    const Picture picture = decode(L"cards.png");
    ASSERT_EQ(picture.width, pictureWidth);
    ASSERT_EQ(picture.height, pictureHeight);
    for (std::uint32_t pixel : picture.argb)
        ASSERT_EQ(pixel & opaque, opaque);
    const std::uint32_t gap = picture.at(metrics.width - 1, 0);
    for (const CutFace& face : cutFaces()) {
        SCOPED_TRACE(testing::Message() << "rank " << face.rank << ", suit " << face.suit);
        int gapPixels = 0, redPixels = 0;
        for (int dy = 0; dy < metrics.height; ++dy) {
            gapPixels += picture.at(face.left + face.gapColumn, face.top + dy) == gap;
            for (int dx = 0; dx < metrics.width; ++dx)
                redPixels += isRedInk(picture.at(face.left + dx, face.top + dy));
        }
        EXPECT_EQ(gapPixels, metrics.height);
        // The face's middle is the card's white, not the gap's colour: the face is not shifted.
        EXPECT_EQ(picture.at(face.left + metrics.width / 2, face.top + 2), opaque | 0xFFFFFF);
        if (face.suit % 2 == 1)
            EXPECT_GT(redPixels, 100);
        else
            EXPECT_EQ(redPixels, 0);
    }
}

int squaredDistance(std::uint32_t a, std::uint32_t b) {
    int sum = 0;
    for (int shift : {16, 8, 0}) {
        int difference = static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF);
        sum += difference * difference;
    }
    return sum;
}

// Two faces too alike, or a face too like a colour the program paints, would let a pixel check of the
// window pass with the wrong card or none at all.
TEST(CardPictures, FaceColoursStayApartFromEachOtherAndFromThePaintedColours) {
    // Table grey, card back green, selection blue, white, black, light grey, the two blink colours.
    const std::uint32_t painted[] = {0x7F7F7F, 0x007800, 0x0000FF, 0xFFFFFF,
                                     0x000000, 0xC0C0C0, 0xFFBEBE, 0xFFFF64};
    std::vector<std::uint32_t> colours{colourCardGap};
    for (const CutFace& face : cutFaces())
        colours.push_back(colourCardFace(face.rank, face.suit));
    for (std::size_t i = 0; i < colours.size(); ++i) {
        for (std::size_t j = i + 1; j < colours.size(); ++j)
            EXPECT_GE(squaredDistance(colours[i], colours[j]), 24 * 24) << i << " and " << j;
        for (std::uint32_t colour : painted)
            EXPECT_GE(squaredDistance(colours[i], colour), 50 * 50) << i << " and " << std::hex << colour;
    }
}
} // namespace
