// The user-visible texts, written in UTF-8, are compiled as the intended Windows-1251 bytes.
#include "engine/texts.h"

#include <gtest/gtest.h>

#include <string>

namespace {
// Windows-1251 to UTF-8 for the letters the texts use: the Cyrillic block, Ё and ё, and ASCII.
std::string utf8FromCp1251(const char* text) {
    std::string out;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        unsigned code = *p < 0x80    ? *p
                        : *p >= 0xc0 ? 0x410 + (*p - 0xc0)
                        : *p == 0xa8 ? 0x401
                        : *p == 0xb8 ? 0x451
                        : *p == 0xa9 ? 0xa9 // the copyright sign
                                     : 0xfffd;
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else {
            out += static_cast<char>(0xc0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3f));
        }
    }
    return out;
}
} // namespace

// The texts are written in UTF-8 and compiled as Windows-1251: Cyrillic letters, ASCII punctuation
// and the copyright sign must all come out as the intended characters.
TEST(Texts, AreCompiledAsWindows1251) {
    const std::pair<const char*, const char*> texts[] = {
        {captionNewGame, "Новая игра"},
        {winMessage, "Молодцы! Вы выиграли! ;)"},
        {statusWaitForThrowIn, "Подождите: оппонент выбирает карты для подброса."},
        {pluginCopyright, "© 2026 Kelvaron developers"},
    };
    for (auto [cp1251, expected] : texts)
        EXPECT_EQ(utf8FromCp1251(cp1251), expected);
    EXPECT_EQ(sizeof captionNewGame - 1, 10u) << "one byte a letter";
}
